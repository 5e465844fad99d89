#pragma once
// dizuro-cli's command line: global options, then a command with its own.
//
//   dizuro-cli [--device HOST[:PORT] | --demo] [--quiet] COMMAND ...
//   dizuro-cli info
//   dizuro-cli update FILE [--target pocket|lan]
//   dizuro-cli scan [--preset NAME | --area X,Y,W,H] [--framed] -o FILE
//   dizuro-cli slots read -o FILE | write FILE | clear --yes | convert IN OUT

#include <QString>
#include <QStringList>

#include <optional>

#include "link/Endpoint.h"
#include "scan/ImageFile.h"
#include "scan/ScanProtocol.h"
#include "update/UpdateEncoder.h"

namespace dz {

enum class CliCommand { Info, Update, Scan, SlotsRead, SlotsWrite, SlotsClear, SlotsConvert };

struct CliRequest {
    CliCommand command = CliCommand::Info;
    std::optional<Endpoint> device;  // nothing: the receiver's access point, or the demo's
    bool demo = false;
    bool quiet = false;
    QString input;                       // update FILE, slots write FILE, slots convert IN
    QString output;                      // -o FILE, slots convert OUT
    std::optional<UpdateTarget> target;  // update: nothing follows the file's extension
    ScanArea area;                       // Full WVGA unless chosen
    ImageFormat imageFormat = ImageFormat::Png;
    bool framed = false;  // the window's whole 810 × 490 picture rather than the area alone
};

struct CliArguments {
    enum class Outcome {
        Run,         // `request` is ready
        Print,       // `text` goes to standard output: help or version
        UsageError,  // `text` says what is wrong
    };
    Outcome outcome = Outcome::UsageError;
    CliRequest request;
    QString text;
};

// `arguments` as the program got them, its own name first.
CliArguments parseCliArguments(const QStringList& arguments);

// Whether the area fits the receiver's screen as the window's area rules keep it;
// the message for the user when it does not.
std::optional<QString> checkScanArea(const ScanArea& area);

}  // namespace dz
