// Arbitrary bytes, read as UTF-8, as the typed file name of the CSV save:
// either a refusal that says why and leaves no file anywhere, or exactly one
// file, directly inside the chosen folder, named name + ".csv", holding the
// exact CSV text.

#include "PropertyCheck.h"
#include "engine/results/CsvFile.h"
#include "engine/results/RowText.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;
using vastrel::fuzz::escaped;
using vastrel::results::GraphPoint;

namespace {

// The save folder, and beside it a sibling that nothing may ever reach.
struct Playground {
    fs::path root;
    fs::path folder;
    fs::path sibling;
};

Playground playground;

void removePlayground()
{
    std::error_code ignored;
    fs::remove_all(playground.root, ignored);
}

std::vector<fs::path> entriesOf(const fs::path& folder)
{
    std::vector<fs::path> entries;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) entries.push_back(entry.path());
    return entries;
}

std::string contentsOf(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string listing(const std::vector<fs::path>& entries)
{
    std::string text;
    for (const fs::path& entry : entries) text += "\"" + escaped(entry.filename().string()) + "\" ";
    return text;
}

void emptyFolder(const fs::path& folder)
{
    for (const fs::path& entry : entriesOf(folder)) fs::remove_all(entry);
}

// A broken property ends the process without its exit handlers; the
// temporary folders must not outlive it.
[[noreturn]] void propertyBroken(const char* property, const std::string& detail)
{
    removePlayground();
    vastrel::fuzz::propertyBroken(property, detail);
}

void ignoreMessage(QtMsgType, const QMessageLogContext&, const QString&)
{}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    std::string pattern = (fs::temp_directory_path() / "vastrel-fuzz-csv-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        std::abort();
    }
    playground.root = pattern;
    playground.folder = playground.root / "folder";
    playground.sibling = playground.root / "sibling";
    fs::create_directory(playground.folder);
    fs::create_directory(playground.sibling);
    std::atexit(removePlayground);
    // Qt warns about names it refuses ("Broken filename"); the outcome says it too.
    qInstallMessageHandler(ignoreMessage);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::vector<GraphPoint> points{{1234.56, 0.0012}, {-52.7, 0.0}, {9.9996, -1e-300}};
    const QString folder = QString::fromStdString(playground.folder.string());
    const QString name = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QByteArray nameBytes = name.toUtf8();
    const std::string shown = "name \"" + escaped(nameBytes.toStdString()) + "\"";

    const auto outcome = vastrel::results::writeCsvFile(folder, name, points);

    if (outcome.path != folder + QLatin1Char('/') + name + QStringLiteral(".csv"))
        propertyBroken("the outcome names the file folder/name.csv", shown + " path " + outcome.path.toStdString());
    const std::vector<fs::path> besideFolder = entriesOf(playground.root);
    if (besideFolder.size() != 2)
        propertyBroken("nothing is written beside the folder", shown + ": " + listing(besideFolder));
    const std::vector<fs::path> inSibling = entriesOf(playground.sibling);
    if (!inSibling.empty()) propertyBroken("nothing reaches the sibling folder", shown + ": " + listing(inSibling));

    const std::vector<fs::path> written = entriesOf(playground.folder);
    if (outcome.saved()) {
        if (written.size() != 1) propertyBroken("a save leaves exactly one file", shown + ": " + listing(written));
        const fs::path& file = written.front();
        const std::string expectedName = nameBytes.toStdString() + ".csv";
        if (file.filename().string() != expectedName)
            propertyBroken("the saved file is named name.csv",
                           shown + " saved as \"" + escaped(file.filename().string()) + "\"");
        if (!fs::is_regular_file(fs::symlink_status(file))) propertyBroken("the saved file is a plain file", shown);
        if (contentsOf(file) != vastrel::results::csvText(points))
            propertyBroken("the saved file holds exactly the CSV text", shown);
    } else {
        if (outcome.failure.trimmed().isEmpty()) propertyBroken("a refusal says why", shown);
        if (!written.empty()) propertyBroken("a refusal leaves no file behind", shown + ": " + listing(written));
    }
    emptyFolder(playground.folder);
    return 0;
}
