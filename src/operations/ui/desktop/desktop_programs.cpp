#include "operations/ui/desktop/desktop_programs.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QStandardPaths>
#include <QTextStream>
#include <algorithm>

namespace krelix {
namespace {

// The escapes of desktop entry values: \s, \n, \t, \r and \\.
QString Unescape(const QString& value) {
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != u'\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const QChar next = value[++i];
        if (next == u's') {
            out += u' ';
        } else if (next == u'n') {
            out += u'\n';
        } else if (next == u't') {
            out += u'\t';
        } else if (next == u'r') {
            out += u'\r';
        } else if (next == u'\\') {
            out += u'\\';
        } else {
            out += u'\\';
            out += next;
        }
    }
    return out;
}

}  // namespace

std::optional<DesktopProgram> ReadDesktopEntry(const QString& file, const QString& language) {
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return std::nullopt;
    }
    QTextStream stream(&in);
    bool inEntry = false;
    QString type;
    QString localName;
    bool hidden = false;
    DesktopProgram program;
    program.id = QFileInfo(file).fileName();
    const QString localKey = QStringLiteral("Name[%1]").arg(language);
    const QString shortKey = QStringLiteral("Name[%1]").arg(language.section(u'_', 0, 0));
    QString shortName;
    while (!stream.atEnd()) {
        const QString line = stream.readLine().trimmed();
        if (line.startsWith(u'[')) {
            inEntry = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inEntry || line.startsWith(u'#') || equals <= 0) {
            continue;
        }
        const QString key = line.left(equals).trimmed();
        const QString value = Unescape(line.mid(equals + 1).trimmed());
        if (key == QLatin1String("Type")) {
            type = value;
        } else if (key == QLatin1String("Name")) {
            program.name = value;
        } else if (key == localKey) {
            localName = value;
        } else if (key == shortKey) {
            shortName = value;
        } else if (key == QLatin1String("Exec")) {
            program.exec = value;
        } else if (key == QLatin1String("Icon")) {
            program.icon = value;
        } else if (key == QLatin1String("MimeType")) {
            program.mimeTypes = value.split(u';', Qt::SkipEmptyParts);
        } else if (key == QLatin1String("NoDisplay") || key == QLatin1String("Hidden")) {
            hidden = hidden || value == QLatin1String("true");
        }
    }
    if (type != QLatin1String("Application") || hidden || program.exec.isEmpty()) {
        return std::nullopt;
    }
    if (!localName.isEmpty()) {
        program.name = localName;
    } else if (!shortName.isEmpty()) {
        program.name = shortName;
    }
    if (program.name.isEmpty()) {
        program.name = program.id;
    }
    return program;
}

std::vector<DesktopProgram> ListDesktopPrograms(const QStringList& applicationFolders,
                                                const QString& mimeType, const QString& language) {
    std::vector<DesktopProgram> programs;
    QSet<QString> seen;
    for (const QString& folder : applicationFolders) {
        const QDir dir(folder);
        const QStringList files =
            dir.entryList({QStringLiteral("*.desktop")}, QDir::Files | QDir::Readable);
        for (const QString& file : files) {
            if (seen.contains(file)) {
                continue;
            }
            // A hidden or broken entry still hides the same id in later folders.
            seen.insert(file);
            if (auto program = ReadDesktopEntry(dir.filePath(file), language)) {
                programs.push_back(std::move(*program));
            }
        }
    }
    std::stable_sort(programs.begin(), programs.end(),
                     [&mimeType](const DesktopProgram& a, const DesktopProgram& b) {
                         const bool aFits = a.mimeTypes.contains(mimeType);
                         const bool bFits = b.mimeTypes.contains(mimeType);
                         if (aFits != bFits) {
                             return aFits;
                         }
                         return a.name.localeAwareCompare(b.name) < 0;
                     });
    return programs;
}

QStringList ApplicationFolders() {
    return QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
}

}  // namespace krelix
