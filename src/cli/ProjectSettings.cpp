#include "cli/ProjectSettings.h"

#include "cli/FileNames.h"
#include "engine/image/DrawingArea.h"
#include "engine/project/ProjectFile.h"
#include "engine/text/TypedNumber.h"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace vastrel::cli {

namespace {

QString systemWords(int error)
{
    return QString::fromStdString(std::generic_category().message(error));
}

// Closes the descriptor on every way out.
class OpenFile {
public:
    explicit OpenFile(int fd) : fd_(fd) {}
    ~OpenFile()
    {
        if (fd_ >= 0) ::close(fd_);
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

// Where the windows can place a point: on the image area.
bool onImageArea(double column, double row)
{
    return column >= 0 && row >= 0 && column <= image::kDrawingAreaSize.width() - 1 &&
           row <= image::kDrawingAreaSize.height() - 1;
}

}  // namespace

std::variant<QByteArray, QString> projectFileBytes(const QString& path)
{
    // Not blocking: a FIFO would otherwise hold the program until a writer came.
    const OpenFile file(::open(fileSystemName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.fd() < 0) return systemWords(errno);
    struct stat status {};
    if (::fstat(file.fd(), &status) != 0) return systemWords(errno);
    if (S_ISDIR(status.st_mode)) return QStringLiteral("it is a folder");
    if (!S_ISREG(status.st_mode)) return QStringLiteral("it is not a regular file");
    const QString tooLarge =
        QStringLiteral("it is larger than the %1 MiB a project may be").arg(project::kMaxProjectBytes >> 20);
    if (status.st_size > project::kMaxProjectBytes) return tooLarge;
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(status.st_size));
    // To its end, which a file still growing may put beyond its size now.
    char chunk[65536];
    while (true) {
        const ssize_t got = ::read(file.fd(), chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return systemWords(errno);
        if (got == 0) break;
        if (bytes.size() + got > project::kMaxProjectBytes) return tooLarge;
        bytes.append(chunk, got);
    }
    return bytes;
}

std::variant<DigitizeSettings, QString> settingsOfProject(const project::Project& p)
{
    if (!p.start) return QStringLiteral("it has no start point");
    if (!p.end) return QStringLiteral("it has no end point");
    for (const auto& [pick, which] : {std::pair(*p.start, "start"), std::pair(*p.end, "end")})
        if (!onImageArea(pick.column, pick.row))
            return QStringLiteral("its %1 point lies off the image area").arg(QLatin1String(which));
    // The windows refuse to digitize while a box is empty.
    static constexpr std::array kTexts{"start X", "start Y", "end X", "end Y"};
    for (std::size_t i = 0; i < kTexts.size(); ++i)
        if (p.texts[i].isEmpty()) return QStringLiteral("its %1 is empty").arg(QLatin1String(kTexts[i]));

    DigitizeSettings settings;
    digitize::References& refs = settings.references;
    // Held in single precision, as the windows hold their picks.
    refs.startX = static_cast<float>(p.start->column);
    refs.startY = static_cast<float>(p.start->row);
    refs.endX = static_cast<float>(p.end->column);
    refs.endY = static_cast<float>(p.end->row);
    refs.x1 = text::typedNumber(p.texts[0]);
    refs.y1 = text::typedNumber(p.texts[1]);
    refs.x2 = text::typedNumber(p.texts[2]);
    refs.y2 = text::typedNumber(p.texts[3]);
    refs.mode = p.mode;
    for (std::size_t i = 0; i < p.more.size(); ++i) {
        const project::ReferenceText& added = p.more[i];
        // Counted as the windows list them, after the start and end points.
        if (added.x.isEmpty() || added.y.isEmpty())
            return QStringLiteral("its reference point %1 has an empty value").arg(i + 3);
        if (!onImageArea(added.at.column, added.at.row))
            return QStringLiteral("its reference point %1 lies off the image area").arg(i + 3);
        settings.more.push_back(
            {added.at.column, added.at.row, text::typedNumber(added.x), text::typedNumber(added.y)});
    }
    settings.erasures = p.erasures;
    for (std::size_t i = 0; i < p.series.size(); ++i) {
        const results::Series& kept = p.series[i];
        SeriesToFind series{kept.rule, {}, std::nullopt, kept.name};
        if (kept.rule != results::SeriesRule::Darkest && kept.colour) {
            series.colour = kept.colour;
            series.at = QPoint(kept.colour->x, kept.colour->y);
        }
        // Every series of a project is named, so that a refusal can say which.
        if (series.name.isEmpty()) series.name = QString::number(i + 1);
        settings.series.push_back(std::move(series));
    }
    return settings;
}

std::variant<DigitizeSettings, ArgumentError> projectSettings(const DigitizeRequest& request)
{
    const auto refused = [&](const QString& why) {
        return ArgumentError{QStringLiteral("cannot use the project %1: %2").arg(printableName(request.project), why)};
    };
    const auto bytes = projectFileBytes(request.project);
    if (const auto* why = std::get_if<QString>(&bytes)) return refused(*why);
    const project::ProjectReading reading = project::readProject(std::get<QByteArray>(bytes));
    if (!reading.project) return refused(reading.refusal);
    auto settings = settingsOfProject(*reading.project);
    if (const auto* why = std::get_if<QString>(&settings)) return refused(*why);
    DigitizeSettings& taken = std::get<DigitizeSettings>(settings);
    taken.format = request.format;
    return taken;
}

}  // namespace vastrel::cli
