// dizuro-cli's command line: what each command line asks for, and which are refused.

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "cli/CliOptions.h"

namespace dz {
namespace {

CliArguments parse(const std::vector<const char*>& args)
{
    QStringList list{QStringLiteral("dizuro-cli")};
    for (const char* a : args) {
        list << QString::fromUtf8(a);
    }
    return parseCliArguments(list);
}

auto tied(const ScanArea& a)
{
    return std::make_tuple(a.X, a.Y, a.W, a.H);
}

TEST(CliOptions, ScanTakesAPresetOrAnAreaAndTheFormatFromTheName)
{
    struct Case {
        std::vector<const char*> args;
        ScanArea area;
        ImageFormat format;
        bool framed;
    };
    const Case cases[] = {
        {{"scan", "-o", "a.png"}, {0, 0, 800, 480}, ImageFormat::Png, false},
        {{"scan", "--preset", "full-vga", "--output", "a.PNG"}, {0, 0, 640, 480}, ImageFormat::Png, false},
        {{"scan", "--preset", "diagram-vga", "-o", "a.bmp"}, {0, 93, 520, 387}, ImageFormat::Bmp, false},
        {{"scan", "--preset=diagram-wvga", "--framed", "-o", "a.BMP"}, {0, 93, 648, 387}, ImageFormat::Bmp, true},
        {{"scan", "--area", "790,470,10,10", "-o", "dir.bmp/a.png"}, {790, 470, 10, 10}, ImageFormat::Png, false},
    };
    for (const Case& c : cases) {
        const CliArguments a = parse(c.args);
        ASSERT_EQ(a.outcome, CliArguments::Outcome::Run) << c.args[1] << ": " << a.text.toStdString();
        EXPECT_EQ(a.request.command, CliCommand::Scan);
        EXPECT_EQ(tied(a.request.area), tied(c.area)) << c.args[1];
        EXPECT_EQ(a.request.imageFormat, c.format) << c.args[1];
        EXPECT_EQ(a.request.framed, c.framed);
    }
}

TEST(CliOptions, GlobalOptionsStandBeforeOrAfterTheCommand)
{
    for (const auto& args : std::vector<std::vector<const char*>>{{"--quiet", "--device", "127.0.0.1:7", "info"},
                                                                  {"info", "-q", "--device=127.0.0.1:7"}}) {
        const CliArguments a = parse(args);
        ASSERT_EQ(a.outcome, CliArguments::Outcome::Run) << a.text.toStdString();
        EXPECT_EQ(a.request.command, CliCommand::Info);
        EXPECT_TRUE(a.request.quiet);
        ASSERT_TRUE(a.request.device.has_value());
        EXPECT_EQ(a.request.device->text(), "127.0.0.1:7");
        EXPECT_FALSE(a.request.demo);
    }
    const CliArguments plain = parse({"--demo", "info"});
    EXPECT_TRUE(plain.request.demo);
    EXPECT_FALSE(plain.request.quiet);
    EXPECT_FALSE(plain.request.device.has_value()) << "the receiver's own endpoint, or the demo's";
}

TEST(CliOptions, UpdateAndSlotsCommands)
{
    const CliArguments update = parse({"update", "pocket.KPF", "--target", "lan"});
    ASSERT_EQ(update.outcome, CliArguments::Outcome::Run);
    EXPECT_EQ(update.request.command, CliCommand::Update);
    EXPECT_EQ(update.request.input, QStringLiteral("pocket.KPF"));
    EXPECT_EQ(update.request.target, UpdateTarget::Lan);
    EXPECT_FALSE(parse({"update", "a.bin"}).request.target.has_value()) << "the extension decides later";

    struct Case {
        std::vector<const char*> args;
        CliCommand command;
        const char* input;
        const char* output;
    };
    const Case cases[] = {
        {{"slots", "read", "-o", "all.Mem"}, CliCommand::SlotsRead, "", "all.Mem"},
        {{"slots", "write", "all.mem"}, CliCommand::SlotsWrite, "all.mem", ""},
        {{"slots", "clear", "--yes"}, CliCommand::SlotsClear, "", ""},
        {{"slots", "convert", "all.Mem", "all.csv"}, CliCommand::SlotsConvert, "all.Mem", "all.csv"},
    };
    for (const Case& c : cases) {
        const CliArguments a = parse(c.args);
        ASSERT_EQ(a.outcome, CliArguments::Outcome::Run) << c.args[1] << ": " << a.text.toStdString();
        EXPECT_EQ(a.request.command, c.command);
        EXPECT_EQ(a.request.input, QString::fromLatin1(c.input));
        EXPECT_EQ(a.request.output, QString::fromLatin1(c.output));
    }
}

TEST(CliOptions, HelpAndVersionArePrinted)
{
    const CliArguments help = parse({"--help"});
    ASSERT_EQ(help.outcome, CliArguments::Outcome::Print);
    EXPECT_TRUE(help.text.startsWith(QStringLiteral("Usage: dizuro-cli "))) << help.text.toStdString();
    for (const char* word : {"info", "update FILE", "scan", "slots read", "slots convert", "--device", "--quiet"}) {
        EXPECT_TRUE(help.text.contains(QString::fromLatin1(word))) << word;
    }
    const CliArguments scanHelp = parse({"scan", "--help"});
    ASSERT_EQ(scanHelp.outcome, CliArguments::Outcome::Print);
    EXPECT_TRUE(scanHelp.text.startsWith(QStringLiteral("Usage: dizuro-cli scan ")));
    EXPECT_TRUE(scanHelp.text.contains(QStringLiteral("--preset")));
    EXPECT_EQ(parse({"--version"}).text, QStringLiteral("dizuro-cli %1\n").arg(QStringLiteral(DIZURO_VERSION)));
}

TEST(CliOptions, UnusableCommandLinesSayWhy)
{
    struct Case {
        std::vector<const char*> args;
        const char* says;
    };
    const Case cases[] = {
        {{}, "no command"},
        {{"frobnicate"}, "frobnicate"},
        {{"info", "--bogus"}, "bogus"},
        {{"info", "extra"}, "extra"},
        {{"--demo", "--device", "127.0.0.1", "info"}, "exclude"},
        {{"--device", "127.0.0.1:70000", "info"}, "--device"},
        {{"update"}, "file"},
        {{"update", "a.KPF", "--target", "usb"}, "pocket or lan"},
        {{"scan"}, "-o"},
        {{"scan", "-o", "a.gif"}, ".png or .bmp"},
        {{"scan", "--preset", "tiny", "-o", "a.png"}, "tiny"},
        {{"scan", "--preset", "full-vga", "--area", "0,0,10,10", "-o", "a.png"}, "exclude"},
        {{"scan", "--area", "0,0,10", "-o", "a.png"}, "four numbers"},
        {{"scan", "--area", "100,0,750,480", "-o", "a.png"}, "X + W = 850"},
        {{"scan", "--area", "0,100,800,400", "-o", "a.png"}, "Y + H = 500"},
        {{"scan", "--area", "0,0,0,480", "-o", "a.png"}, "W is 0"},
        {{"slots"}, "read, write, clear or convert"},
        {{"slots", "read"}, "-o"},
        {{"slots", "read", "-o", "all.txt"}, ".Mem or .csv"},
        {{"slots", "clear"}, "--yes"},
        {{"slots", "convert", "a.Mem"}, "file to write"},
    };
    for (const Case& c : cases) {
        const CliArguments a = parse(c.args);
        const std::string shown = c.args.empty() ? std::string("(none)") : c.args.back();
        EXPECT_EQ(a.outcome, CliArguments::Outcome::UsageError) << shown;
        EXPECT_TRUE(a.text.contains(QString::fromLatin1(c.says))) << shown << ": " << a.text.toStdString();
    }
}

TEST(CliOptions, AnAreaMustFitTheScreenAsTheWindowKeepsIt)
{
    struct Case {
        ScanArea area;
        bool fits;
    };
    const Case cases[] = {
        {{0, 0, 800, 480}, true},  {{790, 470, 10, 10}, true}, {{791, 0, 9, 480}, false},  {{0, 471, 800, 9}, false},
        {{0, 0, 801, 480}, false}, {{0, 0, 800, 481}, false},  {{10, 0, 791, 480}, false}, {{0, 1, 800, 480}, false},
        {{-1, 0, 10, 10}, false},  {{0, 0, 1, 3}, true},       {{0, 0, 1, 2}, false},      {{0, 0, 0, 10}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(!checkScanArea(c.area).has_value(), c.fits)
            << c.area.X << "," << c.area.Y << "," << c.area.W << "," << c.area.H;
    }
}

}  // namespace
}  // namespace dz
