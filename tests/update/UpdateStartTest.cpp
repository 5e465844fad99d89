// The checks before a transfer: every refusal has its message, and a file is
// only taken when link, file, target and extension all fit.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <filesystem>
#include <fstream>

#include "update/UpdateStart.h"

namespace {

namespace fs = std::filesystem;

class UpdateStart : public testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("dz-update-start-" + std::to_string(::getpid()));
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string file(const std::string& name, std::size_t size)
    {
        const fs::path p = m_dir / name;
        std::ofstream(p, std::ios::binary) << std::string(size, 'x');
        return p.string();
    }

    dz::UpdateChoice choice(const std::string& path, bool pocket, bool lan)
    {
        dz::UpdateChoice c;
        c.fileChosen = true;
        c.firmwarePath = path;
        c.linkUp = true;
        c.pocketChecked = pocket;
        c.lanChecked = lan;
        return c;
    }

    static std::string message(const std::variant<dz::PreparedUpdate, std::string>& r)
    {
        return std::holds_alternative<std::string>(r) ? std::get<std::string>(r) : std::string("<accepted>");
    }

    fs::path m_dir;
};

TEST_F(UpdateStart, NoFileNoLinkOrAFileGoneSinceItWasChosen)
{
    const std::string path = file("A.KPF", 10);
    auto c = choice(path, true, false);
    c.fileChosen = false;
    EXPECT_EQ(message(dz::prepareUpdate(c)), "No connection or file available!");
    c = choice(path, true, false);
    c.linkUp = false;
    EXPECT_EQ(message(dz::prepareUpdate(c)), "No connection or file available!");
    fs::remove(path);
    EXPECT_EQ(message(dz::prepareUpdate(choice(path, true, false))), "No connection or file available!");
}

struct ExtensionCase {
    const char* name;
    bool pocket;
    bool lan;
    const char* message;  // nullptr: accepted
};

class UpdateExtension : public UpdateStart, public testing::WithParamInterface<ExtensionCase> {};

TEST_P(UpdateExtension, MustBeTheTargetsInUpperOrLowerCase)
{
    const ExtensionCase c = GetParam();
    const auto r = dz::prepareUpdate(choice(file(c.name, 10), c.pocket, c.lan));
    EXPECT_EQ(message(r), c.message ? c.message : "<accepted>");
}

INSTANTIATE_TEST_SUITE_P(Names, UpdateExtension,
                         testing::Values(ExtensionCase{"a.KPF", true, false, nullptr},
                                         ExtensionCase{"a.kpf", true, false, nullptr},
                                         ExtensionCase{"a.Kpf", true, false, "No  *.KPF File!"},
                                         ExtensionCase{"a.BIN", true, false, "No  *.KPF File!"},
                                         ExtensionCase{"a.BIN", false, true, nullptr},
                                         ExtensionCase{"a.bin", false, true, nullptr},
                                         ExtensionCase{"a.Bin", false, true, "No  *.BIN File!"},
                                         ExtensionCase{"KPF", true, false, "No  *.KPF File!"},
                                         ExtensionCase{"a.KPF", false, false, "No Target selected!"}));

TEST_F(UpdateStart, AcceptedFileComesWithItsTargetBytesAndName)
{
    const auto r = dz::prepareUpdate(choice(file("RADIO.KPF", 1000), true, false));
    ASSERT_TRUE(std::holds_alternative<dz::PreparedUpdate>(r));
    const auto& u = std::get<dz::PreparedUpdate>(r);
    EXPECT_EQ(u.target, dz::UpdateTarget::Pocket);
    EXPECT_EQ(u.file, std::vector<uint8_t>(1000, 'x'));
    EXPECT_EQ(u.name, dz::makeNameField("RADIO.KPF"));
}

TEST_F(UpdateStart, TheNameInTheReceiversCodePage)
{
    const auto r = dz::prepareUpdate(choice(file("Würfel.KPF", 4), true, false));
    ASSERT_TRUE(std::holds_alternative<dz::PreparedUpdate>(r));
    EXPECT_EQ(std::get<dz::PreparedUpdate>(r).name, dz::makeNameField("W\xFCrfel.KPF"));
}

TEST_F(UpdateStart, FilesThatCannotBeSentAreRefusedWithAMessageOfTheirOwn)
{
    fs::create_directories(m_dir / "folder.KPF");
    EXPECT_NE(message(dz::prepareUpdate(choice((m_dir / "folder.KPF").string(), true, false))).find("is a folder"),
              std::string::npos);

    EXPECT_NE(message(dz::prepareUpdate(choice(file("empty.KPF", 0), true, false))).find("is empty"),
              std::string::npos);

    // A sparse file one byte over what the 32-bit size field can say.
    const fs::path huge = m_dir / "huge.BIN";
    std::ofstream(huge).close();
    fs::resize_file(huge, 0x100000000ull);
    EXPECT_NE(message(dz::prepareUpdate(choice(huge.string(), false, true))).find("larger than 4 GiB"),
              std::string::npos);

    // Something that is no regular file cannot be read, even by root.
    const fs::path fifo = m_dir / "pipe.KPF";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_NE(message(dz::prepareUpdate(choice(fifo.string(), true, false))).find("cannot be read"), std::string::npos);
}

}  // namespace
