#include "update/UpdateStart.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "link/AnsiText.h"

namespace dz {

namespace {

namespace fs = std::filesystem;

constexpr uint64_t kLargestFile = 0xFFFFFFFFull;  // the start request carries 32 bits of size

std::string fileNameOf(const std::string& path)
{
    return fs::path(path).filename().string();
}

// "name.KPF" -> ".KPF"; no dot in the name -> "".
std::string extensionOf(const std::string& path)
{
    const std::string name = fileNameOf(path);
    const auto dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

}  // namespace

std::variant<PreparedUpdate, std::string> prepareUpdate(const UpdateChoice& choice)
{
    std::error_code error;
    if (!choice.fileChosen || !fs::exists(choice.firmwarePath, error) || !choice.linkUp) {
        return std::string("No connection or file available!");
    }

    const std::string shown = fileNameOf(choice.firmwarePath);
    if (fs::is_directory(choice.firmwarePath, error)) {
        return "\"" + shown + "\" is a folder, not an update file. Choose the update file with File > Open.";
    }
    const uint64_t size = fs::file_size(choice.firmwarePath, error);
    if (error) {
        return "The update file \"" + shown + "\" cannot be read (" + error.message() +
               "). Check the file and choose it again with File > Open.";
    }
    if (size == 0) {
        return "The update file \"" + shown + "\" is empty. Nothing was sent to the receiver.";
    }
    if (size > kLargestFile) {
        return "The update file \"" + shown +
               "\" is larger than 4 GiB, more than the receiver can take. Nothing was sent.";
    }
    const std::string extension = toAnsi(extensionOf(choice.firmwarePath));
    UpdateTarget target;
    if (choice.pocketChecked) {
        if (extension != ".KPF" && extension != ".kpf") {
            return std::string("No  *.KPF File!");
        }
        target = UpdateTarget::Pocket;
    } else if (choice.lanChecked) {
        if (extension != ".BIN" && extension != ".bin") {
            return std::string("No  *.BIN File!");
        }
        target = UpdateTarget::Lan;
    } else {
        return std::string("No Target selected!");
    }
    // Read last: a file that fails a check above is never loaded.
    std::ifstream in(choice.firmwarePath, std::ios::binary);
    std::vector<uint8_t> file(static_cast<std::size_t>(size));
    if (!in || !in.read(reinterpret_cast<char*>(file.data()), static_cast<std::streamsize>(size))) {
        return "The update file \"" + shown +
               "\" cannot be read. Check that it is readable and choose it again with File > Open.";
    }
    return PreparedUpdate{target, std::move(file), makeNameField(toAnsi(shown))};
}

}  // namespace dz
