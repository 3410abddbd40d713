// Arbitrary bytes as a project file: either refused with a reason, or a
// project that, written out again, reads back to the very same bytes, so
// that nothing the reader lets through is lost or changed by a save.

#include "PropertyCheck.h"
#include "engine/project/ProjectFile.h"

#include <QByteArray>
#include <QByteArrayView>

#include <cstddef>
#include <cstdint>
#include <string>

using vastrel::fuzz::escaped;
using vastrel::fuzz::propertyBroken;
using namespace vastrel::project;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const ProjectReading reading = readProject(bytes);
    if (reading.project.has_value() == !reading.refusal.isEmpty())
        propertyBroken("a project or a refusal, never both or neither", escaped({bytes.data(), size}));
    if (!reading.project) return 0;
    const QByteArray written = projectJson(*reading.project, "1.0.0");
    const ProjectReading again = readProject(written);
    if (!again.project)
        propertyBroken("a project read is written readable", again.refusal.toStdString() + " in " + written.toStdString());
    if (projectJson(*again.project, "1.0.0") != written)
        propertyBroken("a project written reads back to the same bytes", written.toStdString());
    return 0;
}
