#include "cli/ManPage.h"

#include <QRegularExpression>
#include <QStringList>

namespace vastrel::cli {

namespace {

// The column the help text's own prose starts in.
qsizetype indentOf(const QString& line)
{
    qsizetype indent = 0;
    while (indent < line.size() && line[indent] == QLatin1Char(' ')) ++indent;
    return indent;
}

// Text as groff reads it literally: "\-" keeps every dash of an option a
// minus a reader can search for, and a leading "." or "'" is no request.
QString escaped(const QString& text)
{
    QString out;
    for (const char32_t c : text.toUcs4()) {
        if (c == U'\\')
            out += QLatin1String("\\e");
        else if (c == U'-')
            out += QLatin1String("\\-");
        else if (c < 0x80)
            out += QChar(c);
        else
            out += QStringLiteral("\\[u%1]").arg(
                QString::number(uint(c), 16).toUpper().rightJustified(4, QLatin1Char('0')));
    }
    if (out.startsWith(QLatin1Char('.')) || out.startsWith(QLatin1Char('\''))) out.prepend(QLatin1String("\\&"));
    return out;
}

// "-o, --output OUT": the option's names in bold, what it takes in italics.
QString optionTag(const QString& tag)
{
    QStringList words;
    for (QString word : tag.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const bool comma = word.endsWith(QLatin1Char(','));
        if (comma) word.chop(1);
        const QLatin1String font(word.startsWith(QLatin1Char('-')) ? "\\fB" : "\\fI");
        words.append(font + escaped(word) + QLatin1String("\\fR") + (comma ? QLatin1String(",") : QLatin1String()));
    }
    return words.join(QLatin1Char(' '));
}

// A paragraph's first words that name what it is about ("Exit status: 0
// when ..."): at most three words before a colon.
QString leadingTopic(const QString& line)
{
    static const QRegularExpression topic(QStringLiteral("^([A-Z][a-z]*(?: [a-z]+){0,2}): "));
    const QRegularExpressionMatch match = topic.match(line);
    return match.hasMatch() ? match.captured(1) : QString();
}

class PageWriter {
public:
    QString page;

    void section(const QString& title)
    {
        page += QStringLiteral(".SH \"%1\"\n").arg(escaped(title.toUpper()));
        atHeading_ = true;
    }

    void subsection(const QString& title)
    {
        page += QStringLiteral(".SS \"%1\"\n").arg(escaped(title));
        atHeading_ = true;
    }

    void paragraph()
    {
        if (!atHeading_) page += QLatin1String(".PP\n");
        atHeading_ = false;
    }

    void item(const QString& tag)
    {
        page += QLatin1String(".TP\n") + optionTag(tag) + QLatin1Char('\n');
        atHeading_ = false;
    }

    void indentedParagraph() { page += QLatin1String(".IP\n"); }

    void text(const QString& line) { page += escaped(line.trimmed()) + QLatin1Char('\n'); }

    void example(const QStringList& lines, qsizetype margin)
    {
        paragraph();
        page += QLatin1String(".RS\n.nf\n");
        for (const QString& line : lines) page += escaped(line.mid(margin)) + QLatin1Char('\n');
        page += QLatin1String(".fi\n.RE\n");
    }

private:
    bool atHeading_ = false;
};

// Of the 80 columns the help text fills.
constexpr qsizetype kShortLine = 64;

enum class Part { Description, Options, Examples, After };

// A block of lines between blank ones, in the part of the page it falls in.
void writeBlock(PageWriter& writer, QStringList block, Part& part)
{
    const QString& first = block.front();
    if (block.size() > 1 && indentOf(first) == 0 && first.endsWith(QLatin1Char(':'))) {
        const QString heading = first.chopped(1);
        if (heading == QLatin1String("Examples")) {
            writer.section(heading);
            part = Part::Examples;
        } else {
            if (part != Part::Options) writer.section(QStringLiteral("Options"));
            writer.subsection(heading);
            part = Part::Options;
        }
        block.removeFirst();
    } else if (indentOf(first) == 0) {
        if (part != Part::Description) part = Part::After;
        const QString topic = part == Part::After ? leadingTopic(first) : QString();
        if (!topic.isEmpty()) {
            writer.section(topic);
            block.front() = first.mid(topic.size() + 2);
            block.front()[0] = block.front()[0].toUpper();
        }
        writer.paragraph();
        for (const QString& line : block) writer.text(line);
        return;
    }

    QStringList commands;
    qsizetype commandMargin = 0;
    const auto endExample = [&] {
        if (!commands.isEmpty()) writer.example(commands, commandMargin);
        commands.clear();
    };
    // Two spaces, then the option; its words start in the column after the
    // widest of them. An option's words may also start on the next line.
    static const QRegularExpression option(QStringLiteral("^ {1,6}(-\\S*(?: \\S+)*?)(?: {2,}(.*))?$"));
    bool inParagraph = false;
    qsizetype previous = kShortLine;  // the length of the line before, an option's alone not counted
    for (const QString& line : block) {
        if (part == Part::Examples) {
            if (indentOf(line) > 2) {
                if (commands.isEmpty()) commandMargin = indentOf(line);
                commands.append(line);
                continue;
            }
            endExample();
            if (!inParagraph) writer.paragraph();
            inParagraph = true;
            writer.text(line);
            continue;
        }
        const QRegularExpressionMatch match = option.match(line);
        if (match.hasMatch()) {
            writer.item(match.captured(1));
            if (match.hasCaptured(2)) writer.text(match.captured(2));
        } else {
            // A line stopped well short of the margin before a capital
            // starts a paragraph of its own under the option.
            if (previous < kShortLine && line.trimmed().front().isUpper()) writer.indentedParagraph();
            writer.text(line);
        }
        previous = match.hasMatch() && !match.hasCaptured(2) ? kShortLine : line.size();
    }
    endExample();
}

}  // namespace

QByteArray manPage(const QString& help, const ManPageTitle& title)
{
    PageWriter writer;
    writer.page = QStringLiteral(".\\\" Made from the text of \"%1 --help\" when the program is built.\n"
                                 ".TH \"%2\" 1 \"\" \"%3\" \"User Commands\"\n")
                      .arg(title.program, escaped(title.program.toUpper()),
                           escaped(title.program + QLatin1Char(' ') + title.version));
    writer.section(QStringLiteral("Name"));
    writer.page += escaped(title.program) + QLatin1String(" \\- ") + escaped(title.summary) + QLatin1Char('\n');

    QStringList lines = help.split(QLatin1Char('\n'));
    qsizetype next = lines.indexOf(QString());
    if (next < 0) next = lines.size();
    // The synopsis as laid out, less the word "Usage: " that its columns are
    // aligned after.
    static const QLatin1String usage("Usage: ");
    writer.section(QStringLiteral("Synopsis"));
    writer.page += QLatin1String(".nf\n");
    for (qsizetype i = 0; i < next; ++i) {
        const QString& line = lines[i];
        writer.page += escaped(line.mid(line.startsWith(usage) ? usage.size() : qMin(indentOf(line), usage.size()))) +
                       QLatin1Char('\n');
    }
    writer.page += QLatin1String(".fi\n");
    writer.section(QStringLiteral("Description"));

    Part part = Part::Description;
    QStringList block;
    for (qsizetype i = next; i <= lines.size(); ++i) {
        if (i < lines.size() && !lines[i].trimmed().isEmpty()) {
            block.append(lines[i]);
            continue;
        }
        if (!block.isEmpty()) writeBlock(writer, block, part);
        block.clear();
    }
    return writer.page.toLatin1();
}

}  // namespace vastrel::cli
