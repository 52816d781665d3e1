#include "export/RtfToHtml.h"

#include "store/SafeFile.h"
#include "store/TextCodec.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QList>

namespace {

enum class Destination
{
    Text,
    FontTable,
    ColourTable,
    Skip
};

// What a group has set; a closing brace gives back the enclosing group's.
struct GroupState
{
    Destination destination = Destination::Text;
    int foreground = 0; // colour table index; 0 is the automatic colour
    int background = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int font = -1;
    int halfPoints = 24;
    int fallbackLength = 1; // \ucN: characters after \uN that stand in for readers without Unicode
};

// The look of a run as the page shows it.
// A colour is 0xRRGGBB; -1 stands for the automatic colour.
struct RunLook
{
    int foreground = -1;
    int background = -1;
    bool bold = false;
    bool italic = false;
    bool underline = false;

    bool plain() const { return foreground < 0 && background < 0 && !bold && !italic && !underline; }
    bool operator==(const RunLook&) const = default;
};

// Destinations whose text is not part of the document.
bool skippedDestination(QByteArrayView word)
{
    static const QList<QByteArrayView> skipped{"stylesheet",
                                               "info",
                                               "pict",
                                               "header",
                                               "footer",
                                               "headerl",
                                               "headerr",
                                               "headerf",
                                               "footerl",
                                               "footerr",
                                               "footerf",
                                               "object",
                                               "listtable",
                                               "listoverridetable",
                                               "rsidtbl",
                                               "generator",
                                               "themedata",
                                               "fldinst",
                                               "colorschememapping",
                                               "latentstyles",
                                               "datastore",
                                               "xmlnstbl",
                                               "filetbl",
                                               "revtbl",
                                               "footnote",
                                               "bkmkstart",
                                               "bkmkend"};
    return skipped.contains(word);
}

QString cssColour(int rgb)
{
    return QStringLiteral("#%1").arg(rgb, 6, 16, QLatin1Char('0'));
}

QChar windows1252(uchar byte)
{
    if (byte < 0x80) {
        return QChar(byte);
    }
    static const QString upperHalf = [] {
        QByteArray bytes(0x80, '\0');
        for (int b = 0; b < 0x80; ++b) {
            bytes[b] = char(0x80 + b);
        }
        return TextCodec::decodeMixed(bytes);
    }();
    return upperHalf.size() == 0x80 ? upperHalf.at(byte - 0x80) : QChar(QChar::ReplacementCharacter);
}

class Converter
{
public:
    Converter(QByteArrayView rtf, const RtfToHtml::Progress& progress) : m_rtf(rtf), m_progress(progress) {}

    std::optional<QString> run()
    {
        // Room for the text and its spans at once: growing a large page step by step costs more.
        m_body.reserve(m_rtf.size() * 2);
        m_groups.append(GroupState{});
        qsizetype nextProgress = RtfToHtml::ProgressBytes;
        while (m_pos < m_rtf.size()) {
            if (m_pos >= nextProgress && m_progress) {
                if (!m_progress()) {
                    return std::nullopt;
                }
                nextProgress = m_pos + RtfToHtml::ProgressBytes;
            }
            const char c = m_rtf[m_pos++];
            switch (c) {
            case '{':
                m_groups.append(m_groups.last());
                m_fallback = 0;
                break;
            case '}':
                endGroup();
                break;
            case '\\':
                controlWord();
                break;
            case '\r':
            case '\n':
                break;
            default:
                if (plainText(uchar(c)) && m_fallback == 0 && state().destination == Destination::Text) {
                    textRun();
                } else {
                    character(windows1252(uchar(c)), true);
                }
                break;
            }
        }
        return finish();
    }

private:
    static bool plainText(uchar c) { return c >= 0x20 && c < 0x7F && c != '\\' && c != '{' && c != '}'; }

    // A run of plain ASCII text, taken at once: the usual case, and the bulk of a large page.
    void textRun()
    {
        const qsizetype start = m_pos - 1;
        while (m_pos < m_rtf.size() && plainText(uchar(m_rtf[m_pos]))) {
            ++m_pos;
        }
        startText();
        setLook(lookOf(state()));
        qsizetype from = start;
        for (qsizetype i = start; i < m_pos; ++i) {
            const char c = m_rtf[i];
            const char* entity = c == '&'   ? "&amp;"
                                 : c == '<' ? "&lt;"
                                 : c == '>' ? "&gt;"
                                 : c == '"' ? "&quot;"
                                            : nullptr;
            if (entity) {
                m_body += QLatin1StringView(m_rtf.data() + from, i - from);
                m_body += QLatin1StringView(entity);
                from = i + 1;
            }
        }
        m_body += QLatin1StringView(m_rtf.data() + from, m_pos - from);
    }

    void startText()
    {
        if (!m_started) {
            m_started = true;
            m_firstFont = state().font >= 0 ? state().font : m_defaultFont;
            m_firstHalfPoints = state().halfPoints;
        }
    }

    GroupState& state() { return m_groups.last(); }

    void endGroup()
    {
        if (state().destination == Destination::FontTable) {
            storeFontName();
        }
        if (m_groups.size() > 1) {
            m_groups.removeLast();
        }
        m_fallback = 0;
    }

    void controlWord()
    {
        if (m_pos >= m_rtf.size()) {
            return;
        }
        const char c = m_rtf[m_pos];
        if (!std::isalpha(uchar(c))) {
            ++m_pos;
            controlSymbol(c);
            return;
        }
        const qsizetype start = m_pos;
        while (m_pos < m_rtf.size() && std::isalpha(uchar(m_rtf[m_pos]))) {
            ++m_pos;
        }
        const QByteArrayView word = m_rtf.sliced(start, m_pos - start);
        bool hasNumber = false;
        long long number = 0;
        const qsizetype numberStart = m_pos;
        if (m_pos < m_rtf.size() && m_rtf[m_pos] == '-') {
            ++m_pos;
        }
        while (m_pos < m_rtf.size() && std::isdigit(uchar(m_rtf[m_pos]))) {
            ++m_pos;
            hasNumber = true;
        }
        if (hasNumber) {
            number = std::clamp(m_rtf.sliced(numberStart, m_pos - numberStart).toLongLong(), -2147483648LL,
                                2147483647LL);
        } else {
            m_pos = numberStart;
        }
        if (m_pos < m_rtf.size() && m_rtf[m_pos] == ' ') {
            ++m_pos;
        }
        apply(word, hasNumber, int(number));
    }

    void controlSymbol(char c)
    {
        switch (c) {
        case '\\':
        case '{':
        case '}':
            character(QChar::fromLatin1(c), true);
            break;
        case '\'': {
            const QByteArrayView hex = m_rtf.sliced(m_pos, std::min<qsizetype>(2, m_rtf.size() - m_pos));
            m_pos += hex.size();
            bool ok = false;
            const int byte = hex.toByteArray().toInt(&ok, 16);
            if (ok) {
                character(windows1252(uchar(byte)), true);
            }
            break;
        }
        case '~':
            character(QChar(0x00A0), true);
            break;
        case '_':
            character(QChar(0x2011), true);
            break;
        case '*':
            state().destination = Destination::Skip;
            break;
        case '\r':
        case '\n':
            lineBreak();
            break;
        default:
            // \- (optional hyphen) and \: (index subentry) show nothing.
            break;
        }
    }

    void apply(QByteArrayView word, bool hasNumber, int number)
    {
        GroupState& s = state();
        const bool on = !hasNumber || number != 0;
        if (s.destination == Destination::Skip) {
            return;
        }
        if (word == "fonttbl") {
            s.destination = Destination::FontTable;
        } else if (word == "colortbl") {
            s.destination = Destination::ColourTable;
            m_colours.clear();
            m_colourSet = false;
        } else if (skippedDestination(word)) {
            s.destination = Destination::Skip;
        } else if (s.destination == Destination::FontTable) {
            if (word == "f") {
                storeFontName();
                m_tableFont = number;
            }
        } else if (s.destination == Destination::ColourTable) {
            const int value = std::clamp(number, 0, 255);
            const int shift = word == "red" ? 16 : word == "green" ? 8 : word == "blue" ? 0 : -1;
            if (shift >= 0) {
                m_colour = (m_colour & ~(0xFF << shift)) | (value << shift);
                m_colourSet = true;
            }
        } else if (word == "par" || word == "line" || word == "page" || word == "sect") {
            lineBreak();
        } else if (word == "tab") {
            character(QChar(u'\t'), false);
        } else if (word == "u" && hasNumber) {
            // Negative values stand for the upper half of the 16-bit range.
            character(QChar(char16_t(number < 0 ? number + 65536 : number)), false);
            m_fallback = s.fallbackLength;
        } else if (word == "uc" && hasNumber) {
            s.fallbackLength = std::max(0, number);
        } else if (word == "cf") {
            s.foreground = number;
        } else if (word == "cb" || word == "highlight" || word == "chcbpat") {
            s.background = number;
        } else if (word == "b") {
            s.bold = on;
        } else if (word == "i") {
            s.italic = on;
        } else if (word == "ul") {
            s.underline = on;
        } else if (word == "ulnone") {
            s.underline = false;
        } else if (word == "plain") {
            const int fallbackLength = s.fallbackLength;
            const Destination destination = s.destination;
            s = GroupState{};
            s.fallbackLength = fallbackLength;
            s.destination = destination;
            s.font = m_defaultFont;
        } else if (word == "f") {
            s.font = number;
        } else if (word == "deff") {
            m_defaultFont = number;
        } else if (word == "fs" && hasNumber && number > 0) {
            s.halfPoints = number;
        } else if (word == "deftab" && hasNumber && number > 0) {
            m_tabTwips = number;
        } else if (word == "bullet") {
            character(QChar(0x2022), false);
        } else if (word == "emdash") {
            character(QChar(0x2014), false);
        } else if (word == "endash") {
            character(QChar(0x2013), false);
        } else if (word == "lquote") {
            character(QChar(0x2018), false);
        } else if (word == "rquote") {
            character(QChar(0x2019), false);
        } else if (word == "ldblquote") {
            character(QChar(0x201C), false);
        } else if (word == "rdblquote") {
            character(QChar(0x201D), false);
        }
    }

    void storeFontName()
    {
        const QString name = m_fontName.trimmed();
        if (m_tableFont >= 0 && !name.isEmpty() && !m_fonts.contains(m_tableFont)) {
            m_fonts.insert(m_tableFont, name);
        }
        m_fontName.clear();
    }

    // A character of the text; fallback ones after \uN are dropped.
    void character(QChar c, bool mayBeFallback)
    {
        if (mayBeFallback && m_fallback > 0) {
            --m_fallback;
            return;
        }
        GroupState& s = state();
        switch (s.destination) {
        case Destination::Skip:
            return;
        case Destination::FontTable:
            if (c == u';') {
                storeFontName();
            } else {
                m_fontName += c;
            }
            return;
        case Destination::ColourTable:
            if (c == u';') {
                m_colours.append(m_colourSet ? m_colour : -1);
                m_colour = 0;
                m_colourSet = false;
            }
            return;
        case Destination::Text:
            break;
        }
        if (c.unicode() < 0x20 && c != u'\t') {
            return;
        }
        startText();
        setLook(lookOf(s));
        switch (c.unicode()) {
        case u'&':
            m_body += QStringLiteral("&amp;");
            break;
        case u'<':
            m_body += QStringLiteral("&lt;");
            break;
        case u'>':
            m_body += QStringLiteral("&gt;");
            break;
        case u'"':
            m_body += QStringLiteral("&quot;");
            break;
        default:
            m_body += c;
            break;
        }
    }

    void lineBreak()
    {
        if (state().destination != Destination::Text) {
            return;
        }
        m_fallback = 0;
        startText();
        m_body += QStringLiteral("\r\n");
    }

    int colour(int index) const { return index > 0 && index < m_colours.size() ? m_colours.at(index) : -1; }

    RunLook lookOf(const GroupState& s) const
    {
        return RunLook{colour(s.foreground), colour(s.background), s.bold, s.italic, s.underline};
    }

    void setLook(const RunLook& look)
    {
        if (look == m_look) {
            return;
        }
        if (!m_look.plain()) {
            m_body += QStringLiteral("</span>");
        }
        m_look = look;
        if (look.plain()) {
            return;
        }
        const quint64 key = quint64(look.foreground + 1) | quint64(look.background + 1) << 25 |
                            quint64(look.bold) << 50 | quint64(look.italic) << 51 |
                            quint64(look.underline) << 52;
        auto tag = m_spans.constFind(key);
        if (tag == m_spans.constEnd()) {
            tag = m_spans.insert(key, spanTag(look));
        }
        m_body += *tag;
    }

    static QString spanTag(const RunLook& look)
    {
        QStringList style;
        if (look.foreground >= 0) {
            style << QStringLiteral("color:") + cssColour(look.foreground);
        }
        if (look.background >= 0) {
            style << QStringLiteral("background-color:") + cssColour(look.background);
        }
        if (look.bold) {
            style << QStringLiteral("font-weight:bold");
        }
        if (look.italic) {
            style << QStringLiteral("font-style:italic");
        }
        if (look.underline) {
            style << QStringLiteral("text-decoration:underline");
        }
        return QStringLiteral("<span style=\"") + style.join(QLatin1Char(';')) + QStringLiteral("\">");
    }

    QString finish()
    {
        setLook(RunLook{});
        QStringList style;
        QString family = m_fonts.value(m_firstFont);
        family.remove(QLatin1Char('"')).remove(QLatin1Char('\'')).remove(QLatin1Char(';'));
        style << QStringLiteral("font-family:") +
                     (family.isEmpty() ? QString() : QLatin1Char('\'') + family + QStringLiteral("', ")) +
                     QStringLiteral("monospace");
        style << QStringLiteral("font-size:") + QString::number(m_firstHalfPoints / 2.0) +
                     QStringLiteral("pt");
        if (m_tabTwips > 0) {
            // A tab stop in characters of a fixed-pitch font, whose characters are 0.6 em wide.
            const double characterTwips = m_firstHalfPoints / 2.0 * 0.6 * 20;
            style << QStringLiteral("tab-size:") +
                         QString::number(std::max(1L, std::lround(m_tabTwips / characterTwips)));
        }
        // The line break after <pre> is dropped by browsers, so a first empty line survives.
        m_body.prepend(QStringLiteral("<pre style=\"") + style.join(QStringLiteral("; ")) +
                       QStringLiteral("\">\r\n"));
        m_body += QStringLiteral("</pre>");
        return std::move(m_body);
    }

    QByteArrayView m_rtf;
    const RtfToHtml::Progress& m_progress;
    qsizetype m_pos = 0;
    QList<GroupState> m_groups;
    int m_fallback = 0;

    QHash<int, QString> m_fonts;
    int m_tableFont = -1;
    QString m_fontName;
    int m_defaultFont = 0;
    QList<int> m_colours;
    int m_colour = 0;
    bool m_colourSet = false;
    int m_tabTwips = 0;

    bool m_started = false;
    int m_firstFont = 0;
    int m_firstHalfPoints = 24;
    RunLook m_look;
    QHash<quint64, QString> m_spans; // the opening tag of each look met so far
    QString m_body;
};

} // namespace

QString RtfToHtml::convert(QByteArrayView rtf)
{
    return *Converter(rtf, Progress()).run();
}

std::optional<QString> RtfToHtml::convert(QByteArrayView rtf, const Progress& progress)
{
    return Converter(rtf, progress).run();
}

bool RtfToHtml::ConvertRtfToHtml(const QString& rtfFile, const QString& htmlFile, const QString& library,
                                 const QString& entry)
{
    return ConvertRtfToHtml(rtfFile, htmlFile, library, entry, Progress());
}

bool RtfToHtml::ConvertRtfToHtml(const QString& rtfFile, const QString& htmlFile, const QString& library,
                                 const QString& entry, const Progress& progress, QString* error)
{
    Q_UNUSED(library);
    Q_UNUSED(entry);
    auto failed = [error](const QString& why, const QString& file) {
        if (error) {
            *error = why + QStringLiteral(": ") + QDir::toNativeSeparators(file);
        }
        return false;
    };
    QFile in(rtfFile);
    if (!in.open(QIODevice::ReadOnly)) {
        return failed(in.errorString(), rtfFile);
    }
    const QByteArray rtf = in.readAll();
    if (in.error() != QFileDevice::NoError) {
        return failed(in.errorString(), rtfFile);
    }
    const std::optional<QString> converted = convert(rtf, progress);
    if (!converted || (progress && !progress())) {
        return failed(QStringLiteral("The conversion was stopped"), htmlFile);
    }
    QByteArray html;
    TextCodec::appendUtf8(html, *converted);
    // A working file, made again by the next export: written in place, without waiting for the disk.
    QString why;
    return SafeFile::overwriteWorkingFile(htmlFile, html, &why) || failed(why, htmlFile);
}
