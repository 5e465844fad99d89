#include "cli/CliOptions.h"

#include <QCommandLineParser>

#include "app/DeviceOptions.h"
#include "scan/ScanArea.h"
#include "slots/SlotFile.h"

namespace dz {

namespace {

const QString kProgram = QStringLiteral("dizuro-cli");

const QString kCommands = QStringLiteral(
    "Commands:\n"
    "  info                           the link, the receiver's versions and which image runs\n"
    "  update FILE [--target T]       put new software on the receiver (.KPF pocket, .BIN LAN driver)\n"
    "  scan [AREA] [--framed] -o FILE copy the receiver's screen into a PNG or BMP file\n"
    "  slots read -o FILE             read the 63 memory slots into a .Mem or .csv file\n"
    "  slots write FILE               write a .Mem or .csv file into the memory slots\n"
    "  slots clear --yes              clear every memory slot\n"
    "  slots convert IN OUT           convert between .Mem and .csv files\n"
    "\n"
    "Each command has its own help: dizuro-cli COMMAND --help\n");

// The options every command takes, so that they may stand before or after it.
struct Global {
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help.")};
    QCommandLineOption version{QStringLiteral("version"), QStringLiteral("Show the program's version.")};
    QCommandLineOption quiet{{QStringLiteral("q"), QStringLiteral("quiet")},
                             QStringLiteral("No progress on standard error.")};
    DeviceOptions device;

    void addTo(QCommandLineParser& parser) const
    {
        parser.addOption(help);
        parser.addOption(version);
        parser.addOption(quiet);
        device.addTo(parser);
    }
};

CliArguments usageError(const QString& text)
{
    CliArguments a;
    a.outcome = CliArguments::Outcome::UsageError;
    a.text = text;
    return a;
}

CliArguments print(const QString& text)
{
    CliArguments a;
    a.outcome = CliArguments::Outcome::Print;
    a.text = text;
    return a;
}

std::optional<ScanPreset> presetNamed(const QString& name)
{
    if (name == QLatin1String("full-vga")) {
        return ScanPreset::FullVga;
    }
    if (name == QLatin1String("full-wvga")) {
        return ScanPreset::FullWvga;
    }
    if (name == QLatin1String("diagram-vga")) {
        return ScanPreset::DiagramVga;
    }
    if (name == QLatin1String("diagram-wvga")) {
        return ScanPreset::DiagramWvga;
    }
    return std::nullopt;
}

std::optional<ScanArea> areaOf(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4) {
        return std::nullopt;
    }
    int values[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        values[i] = parts[i].trimmed().toInt(&ok);
        if (!ok) {
            return std::nullopt;
        }
    }
    return ScanArea{values[0], values[1], values[2], values[3]};
}

}  // namespace

std::optional<QString> checkScanArea(const ScanArea& a)
{
    struct Range {
        const char* name;
        int value;
        int minimum;
        int maximum;
    };
    // A picture needs a column; and with fewer than three rows a column record is as long as a
    // status record, so the receiver's columns could not be told from its status.
    const Range ranges[] = {{"X", a.X, 0, screen::kXMax},
                            {"Y", a.Y, 0, screen::kYMax},
                            {"W", a.W, 1, screen::kWMax},
                            {"H", a.H, 3, screen::kHMax}};
    for (const Range& r : ranges) {
        if (r.value < r.minimum || r.value > r.maximum) {
            return QStringLiteral("the area's %1 is %2; it must lie between %3 and %4")
                .arg(QLatin1String(r.name))
                .arg(r.value)
                .arg(r.minimum)
                .arg(r.maximum);
        }
    }
    // The window's rules would move the value being edited; here nothing is moved, the area is refused.
    const int limit = screen::kWvgaWidth;
    if (areaRule(AreaField::W, a, limit) || areaRule(AreaField::X, a, limit)) {
        return QStringLiteral("the area's columns X + W = %1 reach beyond the screen's %2").arg(a.X + a.W).arg(limit);
    }
    if (areaRule(AreaField::H, a, limit) || areaRule(AreaField::Y, a, limit)) {
        return QStringLiteral("the area's rows Y + H = %1 reach beyond the screen's %2")
            .arg(a.Y + a.H)
            .arg(screen::kHeight);
    }
    return std::nullopt;
}

CliArguments parseCliArguments(const QStringList& arguments)
{
    const Global global;
    const QString version = QStringLiteral("dizuro-cli %1\n").arg(QStringLiteral(DIZURO_VERSION));

    // First the options before the command; the command and all after it are kept for the second pass.
    QCommandLineParser first;
    first.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    first.setApplicationDescription(
        QStringLiteral("Talks to a KAV Dizuro receiver from the command line: versions, software updates, "
                       "screen copies and memory slots."));
    global.addTo(first);
    first.addPositionalArgument(QStringLiteral("command"), QStringLiteral("What to do; see below."),
                                QStringLiteral("COMMAND [ARGS...]"));
    if (!first.parse(arguments)) {
        return usageError(first.errorText());
    }
    QStringList rest = first.positionalArguments();
    if (rest.isEmpty()) {
        if (first.isSet(global.help)) {
            return print(helpText(first, kProgram) + QLatin1Char('\n') + kCommands);
        }
        if (first.isSet(global.version)) {
            return print(version);
        }
        return usageError(QStringLiteral("no command given"));
    }
    const QString command = rest.takeFirst();

    QCommandLineParser second;
    global.addTo(second);
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("The file to write."), QStringLiteral("FILE"));
    const QCommandLineOption target(QStringLiteral("target"),
                                    QStringLiteral("pocket (a .KPF package) or lan (a .BIN driver image); by "
                                                   "default the file's extension decides."),
                                    QStringLiteral("pocket|lan"));
    const QCommandLineOption preset(QStringLiteral("preset"),
                                    QStringLiteral("full-vga, full-wvga (the default), diagram-vga or diagram-wvga."),
                                    QStringLiteral("NAME"));
    const QCommandLineOption area(QStringLiteral("area"),
                                  QStringLiteral("The area of the screen: left, top, width, height."),
                                  QStringLiteral("X,Y,W,H"));
    const QCommandLineOption framed(QStringLiteral("framed"),
                                    QStringLiteral("Write the window's whole 810 x 490 picture, frame included."));
    const QCommandLineOption yes(QStringLiteral("yes"), QStringLiteral("Confirm that every slot is to be cleared."));

    QString slotsAction;
    if (command == QLatin1String("info")) {
        second.setApplicationDescription(
            QStringLiteral("Shows the link, the receiver's versions and which image runs."));
    } else if (command == QLatin1String("update")) {
        second.setApplicationDescription(
            QStringLiteral("Puts new software on the receiver: a pocket software package (.KPF) or a LAN driver "
                           "image (.BIN). Asks first which image runs, as the window's Synchronize does."));
        second.addOption(target);
        second.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The .KPF or .BIN file to send."));
    } else if (command == QLatin1String("scan")) {
        second.setApplicationDescription(
            QStringLiteral("Copies an area of the receiver's screen into a PNG or BMP file, by the file's "
                           "extension: W x H pixels, or the window's whole picture with --framed."));
        second.addOption(preset);
        second.addOption(area);
        second.addOption(framed);
        second.addOption(output);
    } else if (command == QLatin1String("slots")) {
        slotsAction = rest.isEmpty() ? QString() : rest.constFirst();
        second.setApplicationDescription(
            QStringLiteral("The receiver's 63 memory slots: read them into a file, write a file into them, clear "
                           "them, or convert a file. Files are memory files (.Mem) or tables (.csv)."));
        second.addPositionalArgument(QStringLiteral("ACTION"), QStringLiteral("read, write, clear or convert."));
        if (slotsAction == QLatin1String("read")) {
            second.addOption(output);
        } else if (slotsAction == QLatin1String("write")) {
            second.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The .Mem or .csv file to write."));
        } else if (slotsAction == QLatin1String("clear")) {
            second.addOption(yes);
        } else if (slotsAction == QLatin1String("convert")) {
            second.addPositionalArgument(QStringLiteral("IN"), QStringLiteral("The file to read (.Mem or .csv)."));
            second.addPositionalArgument(QStringLiteral("OUT"), QStringLiteral("The file to write (.Mem or .csv)."));
        }
    } else {
        return usageError(QStringLiteral("unknown command '%1'").arg(command));
    }

    if (!second.parse(QStringList{arguments.value(0, kProgram)} + rest)) {
        return usageError(second.errorText());
    }
    const QString program = kProgram + QLatin1Char(' ') + command;
    if (second.isSet(global.help) || first.isSet(global.help)) {
        return print(helpText(second, program));
    }
    if (second.isSet(global.version) || first.isSet(global.version)) {
        return print(version);
    }

    CliArguments result;
    result.outcome = CliArguments::Outcome::Run;
    CliRequest& r = result.request;
    r.quiet = first.isSet(global.quiet) || second.isSet(global.quiet);
    const DeviceChoice before = global.device.read(first);
    const DeviceChoice after = global.device.read(second);
    for (const DeviceChoice* c : {&before, &after}) {
        if (!c->error.isEmpty()) {
            return usageError(c->error);
        }
    }
    r.demo = before.demo || after.demo;
    r.device = after.device ? after.device : before.device;
    if (r.demo && r.device) {
        return usageError(QStringLiteral("--demo and --device exclude each other"));
    }

    QStringList positional = second.positionalArguments();
    const auto expect = [&positional, &program](int count, const QString& what) -> std::optional<QString> {
        if (positional.size() < count) {
            return QStringLiteral("%1 needs %2").arg(program, what);
        }
        if (positional.size() > count) {
            return QStringLiteral("unexpected argument '%1'").arg(positional.value(count));
        }
        return std::nullopt;
    };

    if (command == QLatin1String("info")) {
        r.command = CliCommand::Info;
        if (const auto e = expect(0, QString())) {
            return usageError(*e);
        }
    } else if (command == QLatin1String("update")) {
        r.command = CliCommand::Update;
        if (const auto e = expect(1, QStringLiteral("the file to send"))) {
            return usageError(*e);
        }
        r.input = positional[0];
        if (second.isSet(target)) {
            const QString t = second.value(target);
            if (t == QLatin1String("pocket")) {
                r.target = UpdateTarget::Pocket;
            } else if (t == QLatin1String("lan")) {
                r.target = UpdateTarget::Lan;
            } else {
                return usageError(QStringLiteral("--target takes pocket or lan, not '%1'").arg(t));
            }
        }
    } else if (command == QLatin1String("scan")) {
        r.command = CliCommand::Scan;
        if (const auto e = expect(0, QString())) {
            return usageError(*e);
        }
        if (second.isSet(preset) && second.isSet(area)) {
            return usageError(QStringLiteral("--preset and --area exclude each other"));
        }
        if (second.isSet(area)) {
            const std::optional<ScanArea> a = areaOf(second.value(area));
            if (!a) {
                return usageError(QStringLiteral("--area takes four numbers X,Y,W,H, e.g. 0,93,648,387"));
            }
            if (const std::optional<QString> why = checkScanArea(*a)) {
                return usageError(QStringLiteral("--area %1: %2").arg(second.value(area), *why));
            }
            r.area = *a;
        } else {
            const QString name = second.isSet(preset) ? second.value(preset) : QStringLiteral("full-wvga");
            const std::optional<ScanPreset> p = presetNamed(name);
            if (!p) {
                return usageError(
                    QStringLiteral("--preset takes full-vga, full-wvga, diagram-vga or diagram-wvga, not '%1'")
                        .arg(name));
            }
            r.area = presetArea(*p);
        }
        r.framed = second.isSet(framed);
        if (!second.isSet(output)) {
            return usageError(QStringLiteral("scan needs -o FILE, a .png or .bmp file"));
        }
        r.output = second.value(output);
        const std::optional<ImageFormat> format = imageFormatOf(r.output);
        if (!format) {
            return usageError(
                QStringLiteral("%1: the picture is written as PNG or BMP; name the file .png or .bmp").arg(r.output));
        }
        r.imageFormat = *format;
    } else {
        if (slotsAction.isEmpty()) {
            return usageError(QStringLiteral("slots needs an action: read, write, clear or convert"));
        }
        positional.removeFirst();  // the action
        const auto slotFile = [](const QString& path) -> std::optional<QString> {
            if (!slotFileFormatOf(path)) {
                return QStringLiteral("%1: memory slots are kept in .Mem or .csv files").arg(path);
            }
            return std::nullopt;
        };
        if (slotsAction == QLatin1String("read")) {
            r.command = CliCommand::SlotsRead;
            if (const auto e = expect(0, QString())) {
                return usageError(*e);
            }
            if (!second.isSet(output)) {
                return usageError(QStringLiteral("slots read needs -o FILE, a .Mem or .csv file"));
            }
            r.output = second.value(output);
        } else if (slotsAction == QLatin1String("write")) {
            r.command = CliCommand::SlotsWrite;
            if (const auto e = expect(1, QStringLiteral("the file to write into the slots"))) {
                return usageError(*e);
            }
            r.input = positional[0];
        } else if (slotsAction == QLatin1String("clear")) {
            r.command = CliCommand::SlotsClear;
            if (const auto e = expect(0, QString())) {
                return usageError(*e);
            }
            if (!second.isSet(yes)) {
                return usageError(
                    QStringLiteral("slots clear empties all 63 memory slots of the receiver; add --yes to do it"));
            }
        } else if (slotsAction == QLatin1String("convert")) {
            r.command = CliCommand::SlotsConvert;
            if (const auto e = expect(2, QStringLiteral("the file to read and the file to write"))) {
                return usageError(*e);
            }
            r.input = positional[0];
            r.output = positional[1];
        } else {
            return usageError(QStringLiteral("unknown slots action '%1'").arg(slotsAction));
        }
        for (const QString& file : {r.input, r.output}) {
            if (!file.isEmpty()) {
                if (const auto e = slotFile(file)) {
                    return usageError(*e);
                }
            }
        }
    }
    return result;
}

}  // namespace dz
