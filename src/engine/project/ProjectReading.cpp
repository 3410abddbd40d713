#include "engine/project/ProjectFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QRegularExpression>

#include <cmath>
#include <utility>

namespace vastrel::project {

namespace {

// What a project may hold: far beyond any graph, short of what would let a
// damaged or hostile file take the memory.
constexpr qsizetype kMaxSeries = 256;
constexpr qsizetype kMaxPointsPerSeries = 100000;
constexpr qsizetype kMaxErasures = 100000;
constexpr qsizetype kMaxReferences = 1000;
constexpr qsizetype kMaxText = 4096;
constexpr double kMaxPixel = 1e7;  // a pixel position's magnitude
constexpr int kMaxErasePixel = 100000;

// The first fault found, named by where it lies ("series[2].points[7]").
class Reader {
public:
    bool failed() const { return !why_.isEmpty(); }
    QString why() const { return why_; }

    void fail(const QString& where, const QString& what)
    {
        if (!failed()) why_ = where + ": " + what;
    }

    QJsonValue field(const QJsonObject& object, const QString& where, const char* key)
    {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined()) fail(where, QString("「%1」がありません").arg(key));
        return value;
    }
    double number(const QJsonValue& value, const QString& where, double limit = INFINITY)
    {
        if (!value.isDouble()) return fail(where, "数値ではありません"), 0.0;
        const double v = value.toDouble();
        if (!std::isfinite(v) || std::fabs(v) > limit) return fail(where, "値が範囲を外れています"), 0.0;
        return v;
    }
    int integer(const QJsonValue& value, const QString& where, int low, int high)
    {
        const double v = number(value, where);
        if (failed()) return 0;
        if (v != std::floor(v) || v < low || v > high) return fail(where, "値が範囲を外れています"), 0;
        return static_cast<int>(v);
    }
    QString text(const QJsonValue& value, const QString& where, qsizetype longest = kMaxText)
    {
        if (!value.isString()) return fail(where, "文字列ではありません"), QString();
        QString s = value.toString();
        if (s.size() > longest) return fail(where, "文字列が長すぎます"), QString();
        if (s.contains(QChar(0))) return fail(where, "文字列に NUL が含まれています"), QString();
        return s;
    }
    QJsonObject object(const QJsonValue& value, const QString& where)
    {
        if (!value.isObject()) fail(where, "オブジェクトではありません");
        return value.toObject();
    }
    QJsonArray array(const QJsonValue& value, const QString& where, qsizetype longest, qsizetype exactly = -1)
    {
        if (!value.isArray()) return fail(where, "配列ではありません"), QJsonArray();
        const QJsonArray a = value.toArray();
        if (a.size() > longest) return fail(where, "要素が多すぎます"), QJsonArray();
        if (exactly >= 0 && a.size() != exactly)
            return fail(where, QString("要素は %1 個です").arg(exactly)), QJsonArray();
        return a;
    }

    std::optional<PickedPixel> pixel(const QJsonValue& value, const QString& where)
    {
        if (value.isNull()) return std::nullopt;
        const QJsonObject o = object(value, where);
        if (failed()) return std::nullopt;
        return PickedPixel{number(field(o, where, "column"), where + ".column", kMaxPixel),
                           number(field(o, where, "row"), where + ".row", kMaxPixel)};
    }

    std::optional<digitize::CurveColour> colour(const QJsonValue& value, const QString& where)
    {
        if (value.isNull()) return std::nullopt;
        const QJsonObject o = object(value, where);
        if (failed()) return std::nullopt;
        const auto component = [&](const char* key) {
            return static_cast<std::uint8_t>(integer(field(o, where, key), where + "." + key, 0, 255));
        };
        digitize::CurveColour c;
        c.red = component("red");
        c.green = component("green");
        c.blue = component("blue");
        c.x = integer(field(o, where, "column"), where + ".column", -kMaxErasePixel, kMaxErasePixel);
        c.y = integer(field(o, where, "row"), where + ".row", -kMaxErasePixel, kMaxErasePixel);
        c.tolerance = integer(field(o, where, "tolerance"), where + ".tolerance", 0, 254);
        return c;
    }

    results::Series series(const QJsonValue& value, const QString& where)
    {
        results::Series s;
        const QJsonObject o = object(value, where);
        if (failed()) return s;
        s.name = text(field(o, where, "name"), where + ".name", kMaxSeriesName);
        const QString rule = text(field(o, where, "rule"), where + ".rule");
        if (rule == "colour")
            s.rule = results::SeriesRule::Colour;
        else if (rule == "markers")
            s.rule = results::SeriesRule::Markers;
        else if (rule != "darkest")
            fail(where + ".rule", "darkest、colour、markers のどれでもありません");
        s.colour = colour(field(o, where, "colour"), where + ".colour");
        if (s.rule != results::SeriesRule::Darkest && !s.colour && !failed())
            fail(where + ".colour", "色の規則に色がありません");
        const QJsonArray points = array(field(o, where, "points"), where + ".points", kMaxPointsPerSeries);
        s.points.reserve(static_cast<std::size_t>(points.size()));
        for (qsizetype i = 0; i < points.size() && !failed(); ++i) {
            const QString at = QString("%1.points[%2]").arg(where).arg(i);
            const QJsonArray p = array(points[i], at, 4, 4);
            if (failed()) break;
            s.points.push_back(
                {number(p[0], at), number(p[1], at), number(p[2], at, kMaxPixel), number(p[3], at, kMaxPixel)});
        }
        return s;
    }

private:
    QString why_;
};

// A path that stays inside the project's folder or names a file outright,
// never one that climbs out of wherever it is resolved.
bool climbsOut(const QString& path)
{
    for (const QString& part : QString(path).replace('\\', '/').split('/'))
        if (part == "..") return true;
    return false;
}

Project projectFrom(Reader& r, const QJsonObject& root)
{
    Project p;
    const QJsonObject image = r.object(r.field(root, "image", "image"), "image");
    if (r.failed()) return p;
    p.imagePath = r.text(r.field(image, "image", "path"), "image.path");
    if (!r.failed() && (p.imagePath.isEmpty() || climbsOut(p.imagePath)))
        r.fail("image.path", "画像のパスに「..」は使えません");
    p.imageSha256 = r.text(r.field(image, "image", "sha256"), "image.sha256");
    static const QRegularExpression hex("^[0-9a-f]{64}$");
    if (!r.failed() && !hex.match(p.imageSha256).hasMatch()) r.fail("image.sha256", "SHA-256 ではありません");
    p.start = r.pixel(r.field(root, "", "start"), "start");
    p.end = r.pixel(r.field(root, "", "end"), "end");
    const QJsonArray texts = r.array(r.field(root, "", "texts"), "texts", 4, 4);
    for (qsizetype i = 0; i < texts.size() && !r.failed(); ++i)
        p.texts[static_cast<std::size_t>(i)] = r.text(texts[i], QString("texts[%1]").arg(i));
    const QJsonArray more = r.array(r.field(root, "", "references"), "references", kMaxReferences);
    for (qsizetype i = 0; i < more.size() && !r.failed(); ++i) {
        const QString at = QString("references[%1]").arg(i);
        const QJsonObject o = r.object(more[i], at);
        if (r.failed()) break;
        ReferenceText ref;
        ref.at = {r.number(r.field(o, at, "column"), at + ".column", kMaxPixel),
                  r.number(r.field(o, at, "row"), at + ".row", kMaxPixel)};
        ref.x = r.text(r.field(o, at, "x"), at + ".x");
        ref.y = r.text(r.field(o, at, "y"), at + ".y");
        const QJsonValue found = r.field(o, at, "found");
        if (!r.failed() && !found.isBool()) r.fail(at + ".found", "true か false ではありません");
        ref.found = found.toBool();
        p.more.push_back(std::move(ref));
    }
    const QString mode = r.text(r.field(root, "", "mode"), "mode");
    if (const auto named = modeNamed(mode))
        p.mode = *named;
    else if (!r.failed())
        r.fail("mode", "目盛の種類ではありません");
    const QJsonArray erasures = r.array(r.field(root, "", "erasures"), "erasures", kMaxErasures);
    for (qsizetype i = 0; i < erasures.size() && !r.failed(); ++i) {
        const QString at = QString("erasures[%1]").arg(i);
        const QJsonArray e = r.array(erasures[i], at, 4, 4);
        if (r.failed()) break;
        int c[4];
        for (int k = 0; k < 4; ++k) c[k] = r.integer(e[k], at, -kMaxErasePixel, kMaxErasePixel);
        if (!r.failed() && (c[2] < c[0] || c[3] < c[1])) r.fail(at, "長方形ではありません");
        p.erasures.push_back(QRect(QPoint(c[0], c[1]), QPoint(c[2], c[3])));
    }
    p.colour = r.colour(r.field(root, "", "colour"), "colour");
    const QJsonArray series = r.array(r.field(root, "", "series"), "series", kMaxSeries);
    for (qsizetype i = 0; i < series.size() && !r.failed(); ++i)
        p.series.push_back(r.series(series[i], QString("series[%1]").arg(i)));
    return p;
}

}  // namespace

ProjectReading readProject(QByteArrayView bytes)
{
    if (bytes.size() > kMaxProjectBytes) return {std::nullopt, "ファイルが大きすぎます"};
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes.toByteArray(), &error);
    if (error.error != QJsonParseError::NoError)
        return {std::nullopt,
                QString("JSON として読めません（%1 バイト目: %2）").arg(error.offset).arg(error.errorString())};
    if (!document.isObject()) return {std::nullopt, "プロジェクトファイルではありません"};
    const QJsonObject root = document.object();
    if (root.value("format").toString() != QLatin1String(kProjectFormat))
        return {std::nullopt, "プロジェクトファイルではありません"};
    const QJsonValue version = root.value("version");
    if (!version.isDouble() || version.toDouble() != kProjectVersion)
        return {std::nullopt, version.isDouble() && version.toDouble() > kProjectVersion
                                  ? "新しい版のプログラムで保存されたプロジェクトです"
                                  : "プロジェクトファイルの版が違います"};
    Reader reader;
    Project project = projectFrom(reader, root);
    if (reader.failed()) return {std::nullopt, reader.why()};
    return {std::move(project), QString()};
}

}  // namespace vastrel::project
