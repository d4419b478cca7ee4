// SPDX-License-Identifier: GPL-3.0-or-later
// The bureau's remote interface IGrsdsService, as input for soapcpp2 (not a C++ header).
// SOAP 1.1, RPC style, SOAP encoding. In identifiers "_USCORE" stands for an underscore in the XML
// name; a leading underscore on a result makes the client accept it under any element name, as
// servers differ in what they call the return part.
// The client names the port "IGrsdsServicePort" and the service "IGrsdsServiceservice"; the
// endpoint is set at run time from Audit.cfg, no service description is fetched.

//gsoap ns service name: IGrsdsService
//gsoap ns service type: IGrsdsService
//gsoap ns service namespace: urn:GrsdsServiceIntf-IGrsdsService
//gsoap ns service style: rpc
//gsoap ns service encoding: encoded
//gsoap ns service method-action: ChkConnected "urn:GrsdsServiceIntf-IGrsdsService#ChkConnected"
//gsoap ns service method-action: Login "urn:GrsdsServiceIntf-IGrsdsService#Login"
//gsoap ns service method-action: ChangePwd "urn:GrsdsServiceIntf-IGrsdsService#ChangePwd"
//gsoap ns service method-action: GetHintInfo "urn:GrsdsServiceIntf-IGrsdsService#GetHintInfo"
//gsoap ns service method-action: GetUpdateURL "urn:GrsdsServiceIntf-IGrsdsService#GetUpdateURL"
//gsoap ns service method-action: GetQyjbxx "urn:GrsdsServiceIntf-IGrsdsService#GetQyjbxx"
//gsoap ns service method-action: DeclareEmployee "urn:GrsdsServiceIntf-IGrsdsService#DeclareEmployee"
//gsoap ns service method-action: GetEmployee "urn:GrsdsServiceIntf-IGrsdsService#GetEmployee"
//gsoap ns service method-action: GetSBDetail_USCOREPT "urn:GrsdsServiceIntf-IGrsdsService#GetSBDetail_PT"
//gsoap ns service method-action: GetSBDetail_USCORETS "urn:GrsdsServiceIntf-IGrsdsService#GetSBDetail_TS"
//gsoap ns service method-action: DeclareData "urn:GrsdsServiceIntf-IGrsdsService#DeclareData"
//gsoap ns service method-action: uploadfile "urn:GrsdsServiceIntf-IGrsdsService#uploadfile"
//gsoap ns service method-action: downfile "urn:GrsdsServiceIntf-IGrsdsService#downfile"
//gsoap ns service method-action: deletedownfile "urn:GrsdsServiceIntf-IGrsdsService#deletedownfile"
//gsoap ns schema namespace: urn:GrsdsServiceIntf-IGrsdsService

// Byte arrays travel as base64.
class xsd__base64Binary
{
public:
    unsigned char *__ptr;
    int __size;
};

// Results of the operations with an in/out parameter: the result text, then the new value.
struct ns__GetHintInfoResponse { std::string _return; std::string AsInform; };
struct ns__GetQyjbxxResponse { std::string _return; std::string AwsEmpData; };
struct ns__GetEmployeeResponse { std::string _return; std::string AwsEmpData; };
struct ns__GetSBDetail_USCOREPTResponse { std::string _return; std::string AwsSBDetail; };
struct ns__GetSBDetail_USCORETSResponse { std::string _return; std::string AwsSBDetail; };

int ns__ChkConnected(std::string AsTaxID, std::string &_return);
int ns__Login(std::string AsTaxID, std::string AsPsw, std::string &_return);
int ns__ChangePwd(std::string AsTaxID, std::string AsPsw_USCOREOld, std::string AsPsw_USCORENew, std::string &_return);
int ns__GetHintInfo(std::string AsTaxID, std::string AsInform, struct ns__GetHintInfoResponse &r);
int ns__GetUpdateURL(std::string &_return);
int ns__GetQyjbxx(std::string AsTaxID, std::string AwsEmpData, struct ns__GetQyjbxxResponse &r);
int ns__DeclareEmployee(std::string AsTaxID, std::string AwsEmpData, std::string &_return);
int ns__GetEmployee(std::string AsTaxID, std::string AwsEmpData, struct ns__GetEmployeeResponse &r);
int ns__GetSBDetail_USCOREPT(std::string AsTaxID, std::string AsYear, std::string AFlag, std::string AwsSBDetail, struct ns__GetSBDetail_USCOREPTResponse &r);
int ns__GetSBDetail_USCORETS(std::string AsTaxID, std::string AsYear, std::string AFlag, std::string AwsSBDetail, struct ns__GetSBDetail_USCORETSResponse &r);
int ns__DeclareData(std::string AwsEmpData, std::string &_return);
int ns__uploadfile(std::string filename, xsd__base64Binary ByteArray, std::string &_return);
int ns__downfile(std::string swglm, xsd__base64Binary &_return);
int ns__deletedownfile(std::string filename, std::string &_return);
