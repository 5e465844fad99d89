#include "cli/CliCommands.h"

#include <QFile>
#include <QFileInfo>

#include "cli/CliSession.h"
#include "cli/CliViews.h"
#include "link/RecordWalk.h"
#include "slots/SlotFile.h"
#include "slots/SlotRecord.h"
#include "update/UpdateStart.h"

namespace dz {

namespace {

const QString kUpdateDone = QStringLiteral("File transfer finished successfully!");
const QString kScanDone = QStringLiteral("All data received!");

class Command {
public:
    Command(const CliRequest& request, const LinkConfig& link, const CliConsole& console)
        : m_request(request), m_link(link), m_console(console), m_progress(console.progress, console.err)
    {
    }

    int run();

private:
    int info();
    int update();
    int scan();
    int memorySlots();
    int convert();

    int fail(const QString& message)
    {
        m_progress.finish();
        m_console.err(QStringLiteral("dizuro-cli: %1\n").arg(message));
        return exitStatus::kFailed;
    }
    // Opens the link and asks which image runs, as the window does before anything else.
    // Sets `image` (85 or 90); otherwise says why and gives the exit status.
    std::optional<int> openAndSynchronize(CliSession& session, int& image)
    {
        if (const std::optional<QString> error = session.open()) {
            return fail(*error);
        }
        const std::variant<int, QString> mode = session.synchronize();
        if (const auto* error = std::get_if<QString>(&mode)) {
            return failAfterLink(session, *error);
        }
        image = std::get<int>(mode);
        return std::nullopt;
    }
    // The window shows a lost link in a box of its own before the operation's message.
    int failAfterLink(CliSession& session, const QString& message)
    {
        if (!session.linkLost().isEmpty() && session.linkLost() != message) {
            fail(session.linkLost());
        }
        return fail(message);
    }

    const CliRequest& m_request;
    const LinkConfig& m_link;
    const CliConsole& m_console;
    Progress m_progress;
};

int Command::run()
{
    switch (m_request.command) {
        case CliCommand::Info:
            return info();
        case CliCommand::Update:
            return update();
        case CliCommand::Scan:
            return scan();
        case CliCommand::SlotsConvert:
            return convert();
        case CliCommand::SlotsRead:
        case CliCommand::SlotsWrite:
        case CliCommand::SlotsClear:
            return memorySlots();
    }
    return exitStatus::kUsage;
}

int Command::info()
{
    CliSession session(m_link);
    int image = 0;
    if (const std::optional<int> failed = openAndSynchronize(session, image)) {
        return *failed;
    }
    const QString version = session.requestVersion();
    if (version.isEmpty()) {
        return failAfterLink(session, QStringLiteral("Timeout: Device doesn't respond! (no versions came)"));
    }
    m_console.out(QStringLiteral("WLAN Access to Device: %1\n").arg(QString::fromStdString(m_link.device.text())));
    m_console.out(QStringLiteral("Versions: %1\n").arg(version));
    m_console.out(image == record::kFactory ? QStringLiteral("Factory Image active\n")
                                            : QStringLiteral("Dizuro Software active\n"));
    session.close();
    return exitStatus::kDone;
}

int Command::update()
{
    const QString path = m_request.input;
    const QString suffix = QFileInfo(path).suffix();
    UpdateChoice choice;
    choice.fileChosen = true;
    choice.firmwarePath = QFile::encodeName(path).toStdString();
    choice.linkUp = true;  // the link is checked when it is opened, after the file
    const UpdateTarget target = m_request.target.value_or(
        suffix.compare(QLatin1String("bin"), Qt::CaseInsensitive) == 0 ? UpdateTarget::Lan : UpdateTarget::Pocket);
    const bool chosen = m_request.target || suffix.compare(QLatin1String("kpf"), Qt::CaseInsensitive) == 0 ||
                        suffix.compare(QLatin1String("bin"), Qt::CaseInsensitive) == 0;
    choice.pocketChecked = chosen && target == UpdateTarget::Pocket;
    choice.lanChecked = chosen && target == UpdateTarget::Lan;
    std::variant<PreparedUpdate, std::string> prepared = prepareUpdate(choice);
    if (const auto* message = std::get_if<std::string>(&prepared)) {
        QString text = QString::fromStdString(*message);
        if (!chosen && QFileInfo::exists(path)) {
            text += QStringLiteral(" (the name ends neither in .KPF nor in .BIN; --target chooses one)");
        }
        return fail(text);
    }
    PreparedUpdate& ready = std::get<PreparedUpdate>(prepared);

    // The window offers the transfer only once the receiver has said which image runs.
    CliSession session(m_link);
    int image = 0;
    if (const std::optional<int> failed = openAndSynchronize(session, image)) {
        return *failed;
    }
    CliUpdateView view(m_progress, static_cast<qint64>(ready.file.size()));
    session.update(std::move(ready), view);
    m_progress.finish();
    if (view.outcome() != kUpdateDone) {
        return failAfterLink(session, view.outcome());
    }
    session.close();
    m_console.out(view.outcome() + QLatin1Char('\n'));
    return exitStatus::kDone;
}

int Command::scan()
{
    CliSession session(m_link);
    if (const std::optional<QString> error = session.open()) {
        return fail(*error);
    }
    CliScanView view(m_progress, m_request.area);
    session.scan(view);
    m_progress.finish();
    const int missing = view.missingColumns();
    if (missing > 0) {
        if (view.message() == kScanDone) {
            return fail(QStringLiteral("%1 But %2 of the %3 columns never came; nothing was written.")
                            .arg(view.message())
                            .arg(missing)
                            .arg(m_request.area.W));
        }
        return failAfterLink(session, view.message());
    }
    session.close();
    if (const std::optional<QString> error =
            saveImageFile(m_request.output, view.picture(m_request.framed), m_request.imageFormat)) {
        return fail(*error);
    }
    m_console.out(view.message() + QLatin1Char('\n'));
    return exitStatus::kDone;
}

int Command::memorySlots()
{
    SlotStream store;
    if (m_request.command == CliCommand::SlotsWrite) {
        if (const std::optional<QString> error = loadSlotFile(m_request.input, store)) {
            return fail(*error);
        }
    }
    CliSession session(m_link);
    if (const std::optional<QString> error = session.open()) {
        return fail(*error);
    }
    CliSlotView view(m_progress);
    SlotTransfer::Result result = SlotTransfer::Result::Failed;
    switch (m_request.command) {
        case CliCommand::SlotsRead:
            m_progress.start(QStringLiteral("slots read"), slot::kStoreSize, QStringLiteral("bytes"));
            result = session.readSlots(store, view);
            break;
        case CliCommand::SlotsWrite:
            m_progress.start(QStringLiteral("slots write"), slot::kStoreSize, QStringLiteral("bytes"));
            result = session.writeSlots(store, view);
            break;
        default:
            m_progress.start(QStringLiteral("slots clear"), slot::kStoreSize, QStringLiteral("bytes"));
            result = session.clearSlots(store, view);
            break;
    }
    m_progress.finish();
    if (m_request.command == CliCommand::SlotsRead) {
        // An incomplete read writes no file: it would hold slots that never came.
        if (result != SlotTransfer::Result::Done) {
            QString why = view.messages().isEmpty() ? view.source() : view.messages().constFirst();
            if (!view.missing().empty()) {
                why += QStringLiteral(" (%1 of 63 slots did not come)").arg(view.missing().size());
            }
            return failAfterLink(session, why);
        }
        session.close();
        if (const std::optional<QString> error = saveSlotFile(m_request.output, store)) {
            return fail(*error);
        }
        m_console.out(view.source() + QLatin1Char('\n'));
        return exitStatus::kDone;
    }
    // A write or a clear ends with what the read-back found and where the backup is.
    const QString outcome = view.messages().isEmpty() ? view.source() : view.messages().constFirst();
    if (result != SlotTransfer::Result::Done) {
        return failAfterLink(session, outcome);
    }
    session.close();
    m_console.out(outcome + QLatin1Char('\n'));
    return exitStatus::kDone;
}

int Command::convert()
{
    SlotStream store;
    if (const std::optional<QString> error = loadSlotFile(m_request.input, store)) {
        return fail(*error);
    }
    if (const std::optional<QString> error = saveSlotFile(m_request.output, store)) {
        return fail(*error);
    }
    return exitStatus::kDone;
}

}  // namespace

int runCliCommand(const CliRequest& request, const LinkConfig& link, const CliConsole& console)
{
    return Command(request, link, console).run();
}

}  // namespace dz
