// SPDX-License-Identifier: GPL-3.0-or-later
// Build tool: makes db.sqlite from schema.sql and the delivered rows.
// mkdb OUT.sqlite schema.sql [TABLE.tsv ...]: each .tsv is named after its table; its first line
// names the columns, every further line is one row (tab-separated, UTF-8; "\N" is NULL).
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

#include <cstdio>

static int fail(const QString &message)
{
    std::fprintf(stderr, "mkdb: %s\n", message.toLocal8Bit().constData());
    return 1;
}

static QString readText(const QString &path, bool *ok)
{
    QFile file(path);
    *ok = file.open(QIODevice::ReadOnly);
    return *ok ? QString::fromUtf8(file.readAll()) : QString();
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2)
        return fail(QStringLiteral("usage: mkdb OUT.sqlite schema.sql [TABLE.tsv ...]"));
    const QString out = args.at(0);
    const QString tmp = out + QStringLiteral(".tmp");
    QFile::remove(tmp);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("mkdb"));
        db.setDatabaseName(tmp);
        if (!db.open())
            return fail(db.lastError().text());
        bool ok = false;
        const QString schema = readText(args.at(1), &ok);
        if (!ok)
            return fail(QStringLiteral("cannot read ") + args.at(1));
        QSqlQuery q(db);
        // Statements end with ';' at the end of a line; comments start with "--".
        QString statement;
        for (const QString &line : schema.split(QLatin1Char('\n'))) {
            if (line.trimmed().startsWith(QLatin1String("--")))
                continue;
            statement += line + QLatin1Char('\n');
            if (line.trimmed().endsWith(QLatin1Char(';'))) {
                if (!q.exec(statement))
                    return fail(q.lastError().text() + QStringLiteral(" in ") + statement);
                statement.clear();
            }
        }
        db.transaction();
        for (const QString &tsv : args.mid(2)) {
            const QString table = QFileInfo(tsv).completeBaseName();
            const QString text = readText(tsv, &ok);
            if (!ok)
                return fail(QStringLiteral("cannot read ") + tsv);
            QStringList lines = text.split(QLatin1Char('\n'));
            while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
                lines.removeLast();
            if (lines.isEmpty())
                continue;
            const QStringList columns = lines.takeFirst().trimmed().split(QLatin1Char('\t'));
            QStringList marks;
            for (int i = 0; i < columns.size(); ++i)
                marks << QStringLiteral("?");
            const QString sql = QStringLiteral("insert into %1 (%2) values (%3)")
                                    .arg(table, columns.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
            int lineNo = 1;
            for (QString line : lines) {
                ++lineNo;
                if (line.endsWith(QLatin1Char('\r')))
                    line.chop(1);
                if (line.isEmpty())
                    continue;
                const QStringList fields = line.split(QLatin1Char('\t'));
                if (fields.size() != columns.size())
                    return fail(QStringLiteral("%1:%2: %3 fields, expected %4").arg(tsv).arg(lineNo).arg(fields.size()).arg(columns.size()));
                q.prepare(sql);
                for (const QString &f : fields)
                    q.addBindValue(f == QLatin1String("\\N") ? QVariant() : QVariant(f));
                if (!q.exec())
                    return fail(QStringLiteral("%1:%2: %3").arg(tsv).arg(lineNo).arg(q.lastError().text()));
            }
        }
        if (!db.commit())
            return fail(db.lastError().text());
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("mkdb"));
    QFile::remove(out);
    if (!QFile::rename(tmp, out))
        return fail(QStringLiteral("cannot write ") + out);
    return 0;
}
