#include "ports/gnome/extension_files.hpp"

#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <regex>

namespace corvane::gnome {

ExtensionFormat formatFor(int shellMajorVersion) {
    return shellMajorVersion >= 45 ? ExtensionFormat::module : ExtensionFormat::legacy;
}

std::optional<int> parseShellVersion(const std::string& text) {
    static const std::regex version(R"(GNOME Shell ([0-9]+))");
    std::smatch match;
    if (!std::regex_search(text, match, version)) return std::nullopt;
    try {
        return std::stoi(match[1].str());
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::optional<int> installedShellVersion() {
    QProcess shell;
    shell.start(QStringLiteral("gnome-shell"), {QStringLiteral("--version")});
    if (!shell.waitForFinished(5000) || shell.exitStatus() != QProcess::NormalExit) return std::nullopt;
    return parseShellVersion(shell.readAllStandardOutput().toStdString());
}

ExtensionFiles extensionFiles(ExtensionFormat format) {
    const QString root =
        QStringLiteral(":/gnome-extension/") + (format == ExtensionFormat::module ? "esm" : "legacy");
    ExtensionFiles files;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) continue;
        files[path.mid(root.size() + 1).toStdString()] = file.readAll().toStdString();
    }
    return files;
}

const char* extensionUuid() {
    return CORVANE_GNOME_UUID;
}

}  // namespace corvane::gnome
