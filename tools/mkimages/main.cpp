// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the program's pictures: the main window's title strip, left column, home picture and
// panel icons (main/images/*.png, compiled in), the navigation pictures (jpg/*.jpg, loaded at run
// time) and the About box's top picture. Run by hand after a change:
//   QT_QPA_PLATFORM=offscreen build/bin/mkimages SOURCE_DIR
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <functional>

namespace {

QString g_src;
const QString kFont = QStringLiteral("WenQuanYi Micro Hei");

QFont font(int px, bool bold = false)
{
    QFont f(kFont);
    f.setPixelSize(px);
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

void save(const QImage &img, const QString &rel)
{
    const QString path = g_src + QLatin1Char('/') + rel;
    // Qt reads "quality" as the inverse of PNG compression: compress PNGs fully, JPEGs at 92.
    const int quality = path.endsWith(QLatin1String(".png")) ? 0 : 92;
    if (!img.save(path, nullptr, quality))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

QImage canvas(int w, int h, const std::function<void(QPainter &)> &draw, QImage::Format fmt = QImage::Format_ARGB32)
{
    QImage img(w, h, fmt);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    draw(p);
    return img;
}

const QColor kBlue(0x1F, 0x5F, 0xA8);
const QColor kDeep(0x12, 0x3E, 0x73);
const QColor kLight(0xE8, 0xF1, 0xFB);

void banner(QPainter &p, int w, int h)
{
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, kBlue);
    g.setColorAt(1, kDeep);
    p.fillRect(0, 0, w, h, g);
}

// A simple glyph per panel entry, drawn as the icon's picture.
void icon(const QString &rel, const QColor &base, const std::function<void(QPainter &)> &glyph)
{
    save(canvas(64, 64, [&](QPainter &p) {
             QLinearGradient g(0, 0, 0, 64);
             g.setColorAt(0, base.lighter(130));
             g.setColorAt(1, base);
             p.setPen(Qt::NoPen);
             p.setBrush(g);
             p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
             p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
             p.setBrush(Qt::NoBrush);
             glyph(p);
         }),
         rel);
}

void document(QPainter &p, const QString &mark)
{
    p.drawRect(QRectF(18, 12, 28, 40));
    p.drawLine(QPointF(23, 22), QPointF(41, 22));
    p.drawLine(QPointF(23, 30), QPointF(41, 30));
    p.setFont(font(13, true));
    p.setPen(Qt::white);
    p.drawText(QRectF(18, 32, 28, 20), Qt::AlignCenter, mark);
}

void navButton(const QString &rel, const QString &caption, bool selected)
{
    save(canvas(179, 39, [&](QPainter &p) {
             // JPEG has no transparency: corners take the left column's colour.
             p.fillRect(0, 0, 179, 39, QColor(0xDE, 0xEA, 0xF8));
             QLinearGradient g(0, 0, 0, 39);
             g.setColorAt(0, selected ? QColor(0xFF, 0xB3, 0x47) : QColor(0xF4, 0xF8, 0xFD));
             g.setColorAt(1, selected ? QColor(0xF0, 0x8A, 0x00) : QColor(0xD5, 0xE4, 0xF5));
             p.setPen(QPen(selected ? QColor(0xC0, 0x6A, 0x00) : QColor(0x9D, 0xB8, 0xD9), 1));
             p.setBrush(g);
             p.drawRoundedRect(QRectF(0.5, 0.5, 178, 38), 6, 6);
             p.setFont(font(16, true));
             p.setPen(selected ? Qt::white : kDeep);
             p.drawText(QRectF(0, 0, 179, 39), Qt::AlignCenter, caption);
         }, QImage::Format_RGB32),
         rel);
}

// The desktop icon, the same picture as tools/packaging/ledgerwell.svg, at one size.
void appIcon(int size)
{
    save(canvas(size, size, [size](QPainter &p) {
             p.scale(size / 64.0, size / 64.0);
             p.setPen(Qt::NoPen);
             p.setBrush(QColor(0xE8, 0x74, 0x2A));
             p.drawRoundedRect(QRectF(4, 4, 56, 56), 10, 10);
             p.setBrush(Qt::white);
             p.drawRoundedRect(QRectF(16, 12, 32, 40), 2, 2);
             p.setPen(QPen(QColor(0xE8, 0x74, 0x2A), 3, Qt::SolidLine, Qt::RoundCap));
             p.drawLine(QPointF(21, 20), QPointF(43, 20));
             p.drawLine(QPointF(21, 27), QPointF(43, 27));
             p.drawLine(QPointF(21, 34), QPointF(35, 34));
             p.setPen(QPen(QColor(0x2A, 0x8A, 0x3A), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
             p.drawPolyline(QPolygonF({QPointF(33, 44), QPointF(38, 49), QPointF(47, 38)}));
         }),
         QStringLiteral("tools/packaging/icons/ledgerwell-%1.png").arg(size));
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: mkimages SOURCE_DIR\n");
        return 2;
    }
    g_src = QString::fromLocal8Bit(argv[1]);

    for (int size : {16, 32, 48, 64, 128, 256})
        appIcon(size);

    // Title strip: the program's name on the left, the bureau's line on the right.
    save(canvas(560, 61, [](QPainter &p) {
             banner(p, 560, 61);
             p.setPen(Qt::white);
             p.setFont(font(26, true));
             p.drawText(QRectF(18, 0, 540, 61), Qt::AlignVCenter | Qt::AlignLeft,
                        QStringLiteral("个人所得税生产经营所得申报客户端"));
         }),
         QStringLiteral("main/images/title_left.png"));
    save(canvas(300, 61, [](QPainter &p) {
             banner(p, 300, 61);
             p.setPen(QColor(0xCF, 0xE0, 0xF5));
             p.setFont(font(15));
             p.drawText(QRectF(0, 0, 285, 61), Qt::AlignVCenter | Qt::AlignRight,
                        QStringLiteral("依法纳税  诚信申报"));
         }),
         QStringLiteral("main/images/title_right.png"));

    // Left column background and its header.
    save(canvas(226, 600, [](QPainter &p) {
             QLinearGradient g(0, 0, 226, 0);
             g.setColorAt(0, kLight);
             g.setColorAt(1, QColor(0xD2, 0xE2, 0xF4));
             p.fillRect(0, 0, 226, 600, g);
         }, QImage::Format_RGB32),
         QStringLiteral("main/images/left_bg.png"));
    save(canvas(226, 130, [](QPainter &p) {
             p.fillRect(0, 0, 226, 130, QColor(0, 0, 0, 0));
             p.setPen(QPen(kBlue, 2));
             p.setBrush(QColor(0xFF, 0xFF, 0xFF, 200));
             p.drawRoundedRect(QRectF(14, 14, 198, 102), 10, 10);
             p.setPen(kDeep);
             p.setFont(font(20, true));
             p.drawText(QRectF(14, 24, 198, 40), Qt::AlignCenter, QStringLiteral("功能导航"));
             p.setFont(font(13));
             p.drawText(QRectF(14, 66, 198, 36), Qt::AlignCenter, QStringLiteral("点击此处返回首页"));
         }),
         QStringLiteral("main/images/head.png"));

    // Home picture.
    save(canvas(700, 480, [](QPainter &p) {
             p.fillRect(0, 0, 700, 480, Qt::white);
             p.setPen(Qt::NoPen);
             p.setBrush(kLight);
             p.drawEllipse(QPointF(350, 230), 300, 180);
             p.setPen(kDeep);
             p.setFont(font(34, true));
             p.drawText(QRectF(0, 150, 700, 60), Qt::AlignCenter, QStringLiteral("欢迎使用 Ledgerwell"));
             p.setFont(font(18));
             p.setPen(QColor(0x33, 0x33, 0x33));
             p.drawText(QRectF(0, 220, 700, 40), Qt::AlignCenter,
                        QStringLiteral("个人独资企业、合伙企业投资者个人所得税申报"));
             p.setFont(font(15));
             p.setPen(QColor(0x55, 0x66, 0x77));
             p.drawText(QRectF(0, 270, 700, 60), Qt::AlignCenter,
                        QStringLiteral("请从左侧选择“基础信息”或“申报管理”开始工作"));
         }, QImage::Format_RGB32),
         QStringLiteral("main/images/home.png"));

    // Panel icons.
    const QColor green(0x2E, 0x8B, 0x57), orange(0xE0, 0x7B, 0x1A), blue(0x2F, 0x6F, 0xC0);
    icon(QStringLiteral("main/images/icon_enterprise.png"), blue, [](QPainter &p) {
        p.drawRect(QRectF(16, 22, 32, 28));
        p.drawLine(QPointF(12, 22), QPointF(32, 10));
        p.drawLine(QPointF(32, 10), QPointF(52, 22));
        p.drawRect(QRectF(28, 36, 8, 14));
    });
    icon(QStringLiteral("main/images/icon_withdraw.png"), green, [](QPainter &p) {
        p.drawEllipse(QPointF(26, 22), 7, 7);
        p.drawArc(QRectF(14, 32, 24, 20), 0, 180 * 16);
        p.drawLine(QPointF(40, 32), QPointF(54, 32));
        p.drawLine(QPointF(48, 26), QPointF(54, 32));
        p.drawLine(QPointF(48, 38), QPointF(54, 32));
    });
    icon(QStringLiteral("main/images/icon_transfer.png"), green, [](QPainter &p) {
        p.drawLine(QPointF(14, 24), QPointF(48, 24));
        p.drawLine(QPointF(42, 18), QPointF(48, 24));
        p.drawLine(QPointF(16, 40), QPointF(50, 40));
        p.drawLine(QPointF(16, 40), QPointF(22, 46));
    });
    const struct { const char *file; const char *mark; } forms[] = {
        {"icon_quarter.png", "季"}, {"icon_liquidation.png", "清"}, {"icon_consolidated.png", "汇"},
        {"icon_annual.png", "年"}, {"icon_partners.png", "合"}, {"icon_record.png", "记"}};
    for (const auto &f : forms)
        icon(QStringLiteral("main/images/") + QLatin1String(f.file), orange,
             [&f](QPainter &p) { document(p, QString::fromUtf8(f.mark)); });

    // Navigation pictures, replaced at run time from jpg/.
    navButton(QStringLiteral("jpg/1.jpg"), QStringLiteral("基础信息"), false);
    navButton(QStringLiteral("jpg/1-m.jpg"), QStringLiteral("基础信息"), true);
    navButton(QStringLiteral("jpg/4.jpg"), QStringLiteral("申报管理"), false);
    navButton(QStringLiteral("jpg/4-m.jpg"), QStringLiteral("申报管理"), true);

    // About box top picture.
    save(canvas(399, 67, [](QPainter &p) {
             banner(p, 399, 67);
             p.setPen(Qt::white);
             p.setFont(font(22, true));
             p.drawText(QRectF(16, 0, 380, 67), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Ledgerwell 申报客户端"));
         }, QImage::Format_RGB32),
         QStringLiteral("main/images/about_top.png"));
    return 0;
}
