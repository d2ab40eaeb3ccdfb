// SPDX-License-Identifier: GPL-3.0-or-later
// quillon-screenshot: renders the main window into a PNG file, for checking the layout without a
// display (QT_QPA_PLATFORM=offscreen). Settings are kept apart from the user's.

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFont>
#include <QStandardPaths>
#include <QTextStream>

#include "mainwindow/main_window_screenshot.h"
#include "platform/gui/qt_platform.h"

namespace {

// "DejaVu Sans,10" or "DejaVu Sans": the family, and the size in points when given.
bool applyFont(const QString& fontText) {
    const qsizetype comma = fontText.lastIndexOf(QLatin1Char(','));
    QFont font = QApplication::font();
    font.setFamilies({fontText.left(comma).trimmed()});
    if (comma >= 0) {
        bool ok = false;
        const double points = fontText.mid(comma + 1).toDouble(&ok);
        if (!ok || points <= 0) return false;
        font.setPointSizeF(points);
    }
    QApplication::setFont(font);
    return true;
}

std::optional<output::Destination> destinationNamed(const QString& name) {
    using output::Destination;
    const QList<QPair<QString, Destination>> names = {
        {QStringLiteral("text"), Destination::TextFile},
        {QStringLiteral("clipboard"), Destination::Clipboard},
        {QStringLiteral("excel"), Destination::Spreadsheet},
        {QStringLiteral("access"), Destination::Database},
        {QStringLiteral("word"), Destination::Document},
    };
    for (const auto& [key, destination] : names) {
        if (key == name) return destination;
    }
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillon"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Renders the main window into a PNG file."));
    parser.addHelpOption();
    const QCommandLineOption fontOption(QStringLiteral("font"),
                                        QStringLiteral("The window's font: family[,points]."),
                                        QStringLiteral("font"));
    const QCommandLineOption sizeOption(
        QStringLiteral("size"),
        QStringLiteral("The window's size, WIDTHxHEIGHT (at least its smallest)."),
        QStringLiteral("size"));
    const QCommandLineOption destinationOptionName(
        QStringLiteral("destination"),
        QStringLiteral("The destination shown: text, clipboard, excel, access or word."),
        QStringLiteral("name"));
    const QCommandLineOption sdfOption(QStringLiteral("sdf"),
                                       QStringLiteral("Space-delimited format, with its option."));
    parser.addOptions({fontOption, sizeOption, destinationOptionName, sdfOption});
    parser.addPositionalArgument(QStringLiteral("output"),
                                 QStringLiteral("The PNG file to write."));
    parser.addPositionalArgument(QStringLiteral("folder"),
                                 QStringLiteral("Drawing and template folder (default: current)."));
    parser.process(app);
    const QStringList args = parser.positionalArguments();
    QTextStream err(stderr);
    if (args.isEmpty()) {
        err << parser.helpText();
        return 2;
    }
    if (parser.isSet(fontOption) && !applyFont(parser.value(fontOption))) {
        err << "bad --font: " << parser.value(fontOption) << "\n";
        return 2;
    }
    const QString folder = QDir(args.value(1, QDir::currentPath())).absolutePath();
    const auto qt = platform::makeQtPlatform();
    platform::Platform services = qt->platform();
    services.settings.remove(QStringLiteral("Options"));
    services.settings.set(QStringLiteral("Options"), QStringLiteral("Dir"), folder);
    services.settings.set(QStringLiteral("Options"), QStringLiteral("Dir3"), folder);
    // The outputs go beside the drawings; the pattern is a new user's.
    for (const char* key : {"TPath", "EPath", "APath", "WPath"}) {
        services.settings.set(QStringLiteral("Options"), QLatin1String(key), folder);
    }
    MainWindowShot shot;
    shot.folder = folder;
    int status = 0;
    if (parser.isSet(destinationOptionName)) {
        shot.destination = destinationNamed(parser.value(destinationOptionName));
        if (!shot.destination) {
            err << "bad --destination: " << parser.value(destinationOptionName) << "\n";
            status = 2;
        }
    }
    shot.spaceDelimited = parser.isSet(sdfOption);
    if (parser.isSet(sizeOption)) {
        const QStringList wh = parser.value(sizeOption).split(QLatin1Char('x'));
        bool okW = false, okH = false;
        const QSize size(wh.value(0).toInt(&okW), wh.value(1).toInt(&okH));
        if (wh.size() == 2 && okW && okH) {
            shot.size = size;
        } else {
            err << "bad --size: " << parser.value(sizeOption) << "\n";
            status = 2;
        }
    }
    if (status == 0 && !saveMainWindowScreenshot(services, shot, args[0])) {
        err << "cannot write " << args[0] << "\n";
        status = 1;
    }
    services.settings.remove(QStringLiteral("Options"));
    return status;
}
