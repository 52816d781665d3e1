#include "editor/LanguageDefinition.h"

#include "store/TextCodec.h"

#include <QFile>
#include <QRegularExpression>

namespace {

struct KindName
{
    TokenKind kind;
    const char* name;
};

constexpr KindName KindNames[] = {
    {TokenKind::Default, "Default"},
    {TokenKind::Comment, "Comment"},
    {TokenKind::Keyword, "Keyword"},
    {TokenKind::Keyword2, "Keyword2"},
    {TokenKind::String, "String"},
    {TokenKind::Number, "Number"},
    {TokenKind::Operator, "Operator"},
    {TokenKind::Identifier, "Identifier"},
    {TokenKind::Preprocessor, "Preprocessor"},
    {TokenKind::Tag, "Tag"},
    {TokenKind::Attribute, "Attribute"},
};

bool containsAny(const QString& text, std::initializer_list<const char*> words)
{
    for (const char* word : words) {
        if (text.contains(QLatin1String(word))) {
            return true;
        }
    }
    return false;
}

std::optional<bool> parseYesNo(const QString& value)
{
    const QString v = value.toLower();
    if (v == QLatin1String("yes") || v == QLatin1String("true") || v == QLatin1String("1")) {
        return true;
    }
    if (v == QLatin1String("no") || v == QLatin1String("false") || v == QLatin1String("0")) {
        return false;
    }
    return std::nullopt;
}

// "#RRGGBB" as written in the files, to the program's RGB value with red in the low byte.
std::optional<quint32> parseColour(const QString& text)
{
    if (text.size() != 7 || !text.startsWith(u'#')) {
        return std::nullopt;
    }
    bool ok = false;
    const uint rrggbb = text.mid(1).toUInt(&ok, 16);
    if (!ok) {
        return std::nullopt;
    }
    return ((rrggbb >> 16) & 0xFF) | (rrggbb & 0xFF00) | ((rrggbb & 0xFF) << 16);
}

QStringList words(const QString& text)
{
    return text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
}

class Parser
{
public:
    std::optional<LanguageDefinition> run(const QString& text, QString* error)
    {
        m_error = error;
        if (text.contains(QChar(0))) {
            return fail(0, QStringLiteral("not a text file"));
        }
        const QStringList lines = text.split(u'\n');
        for (int i = 0; i < lines.size(); ++i) {
            m_line = i + 1;
            QString line = lines[i].trimmed();
            if (line.isEmpty() || line.startsWith(u';')) {
                continue;
            }
            if (line.startsWith(u'[')) {
                if (!line.endsWith(u']')) {
                    return fail(m_line, QStringLiteral("a section name needs a closing \"]\""));
                }
                if (!enterSection(line.mid(1, line.size() - 2).trimmed())) {
                    return fail(m_line, QStringLiteral("unknown section \"%1\"").arg(line));
                }
                continue;
            }
            QString error;
            switch (m_section) {
            case Section::None:
                error = QStringLiteral("text before the first section");
                break;
            case Section::Language:
                error = languageLine(line);
                break;
            case Section::Keywords:
                m_def.keywords += words(line);
                break;
            case Section::Keywords2:
                m_def.keywords2 += words(line);
                break;
            case Section::Styles:
                error = styleLine(line);
                break;
            }
            if (!error.isEmpty()) {
                return fail(m_line, error);
            }
        }
        if (m_def.name.isEmpty()) {
            return fail(0, QStringLiteral("no language name (Name in section [Language])"));
        }
        if (m_def.lexer.isEmpty()) {
            return fail(0, QStringLiteral("no lexer (Lexer in section [Language])"));
        }
        return std::move(m_def);
    }

private:
    enum class Section
    {
        None,
        Language,
        Keywords,
        Keywords2,
        Styles
    };

    std::optional<LanguageDefinition> fail(int line, const QString& error)
    {
        *m_error = line > 0 ? QStringLiteral("line %1: %2").arg(line).arg(error) : error;
        return std::nullopt;
    }

    bool enterSection(const QString& name)
    {
        const QString n = name.toLower();
        if (n == QLatin1String("language")) {
            m_section = Section::Language;
        } else if (n == QLatin1String("keywords")) {
            m_section = Section::Keywords;
        } else if (n == QLatin1String("keywords2")) {
            m_section = Section::Keywords2;
        } else if (n == QLatin1String("styles")) {
            m_section = Section::Styles;
        } else {
            return false;
        }
        return true;
    }

    static bool splitPair(const QString& line, QString& key, QString& value)
    {
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0) {
            return false;
        }
        key = line.left(equals).trimmed().toLower();
        value = line.mid(equals + 1).trimmed();
        return true;
    }

    QString languageLine(const QString& line)
    {
        QString key;
        QString value;
        if (!splitPair(line, key, value)) {
            return QStringLiteral("expected \"Key = Value\"");
        }
        if (key == QLatin1String("name")) {
            m_def.name = value;
        } else if (key == QLatin1String("lexer")) {
            const QString lexer = value.toLower();
            if (!LanguageDefinition::lexerNames().contains(lexer)) {
                return QStringLiteral("unknown lexer \"%1\"").arg(value);
            }
            m_def.lexer = lexer;
        } else if (key == QLatin1String("casesensitive")) {
            const std::optional<bool> yes = parseYesNo(value);
            if (!yes) {
                return QStringLiteral("CaseSensitive must be yes or no");
            }
            m_def.caseSensitive = *yes;
        } else if (key == QLatin1String("linecomment")) {
            m_def.lineComments = words(value);
        } else if (key == QLatin1String("blockcomment")) {
            const QStringList pair = words(value);
            if (pair.size() == 1 || pair.size() > 2) {
                return QStringLiteral("BlockComment needs a start and an end marker");
            }
            m_def.blockCommentStart = pair.value(0);
            m_def.blockCommentEnd = pair.value(1);
        } else if (key == QLatin1String("strings")) {
            m_def.stringQuotes = words(value).join(QString());
        } else if (key == QLatin1String("escape")) {
            if (value.size() > 1) {
                return QStringLiteral("Escape is one character");
            }
            m_def.escape = value.isEmpty() ? QChar() : value[0];
        } else if (key == QLatin1String("wordchars")) {
            m_def.wordChars = words(value).join(QString());
        } else if (key == QLatin1String("preprocessor")) {
            m_def.preprocessor = value;
        } else {
            return QStringLiteral("unknown key \"%1\"").arg(line.left(line.indexOf(u'=')).trimmed());
        }
        return {};
    }

    QString styleLine(const QString& line)
    {
        QString key;
        QString value;
        if (!splitPair(line, key, value)) {
            return QStringLiteral("expected \"Kind = #RRGGBB [bold] [italic]\"");
        }
        const std::optional<TokenKind> kind = TokenKinds::fromName(key);
        if (!kind) {
            return QStringLiteral("unknown token kind \"%1\"").arg(line.left(line.indexOf(u'=')).trimmed());
        }
        const QStringList parts = words(value);
        const std::optional<quint32> colour = parseColour(parts.value(0));
        if (!colour) {
            return QStringLiteral("a colour is written #RRGGBB, not \"%1\"").arg(parts.value(0));
        }
        TokenStyle style{*kind, *colour, 0};
        for (qsizetype i = 1; i < parts.size(); ++i) {
            const QString word = parts[i].toLower();
            if (word == QLatin1String("bold")) {
                style.fontStyle |= 1;
            } else if (word == QLatin1String("italic")) {
                style.fontStyle |= 2;
            } else if (word != QLatin1String("regular")) {
                return QStringLiteral("unknown font style \"%1\"").arg(parts[i]);
            }
        }
        const int existing = m_def.indexOfStyle(*kind);
        if (existing >= 0) {
            m_def.styles[existing] = style;
        } else {
            m_def.styles.append(style);
        }
        return {};
    }

    LanguageDefinition m_def;
    QString* m_error = nullptr;
    Section m_section = Section::None;
    int m_line = 0;
};

} // namespace

int LanguageDefinition::indexOfStyle(TokenKind kind) const
{
    for (int i = 0; i < styles.size(); ++i) {
        if (styles[i].kind == kind) {
            return i;
        }
    }
    return -1;
}

const TokenStyle* LanguageDefinition::styleFor(TokenKind kind) const
{
    for (;;) {
        const int index = indexOfStyle(kind);
        if (index >= 0) {
            return &styles[index];
        }
        const TokenKind next = TokenKinds::fallback(kind);
        if (next == kind) {
            return nullptr;
        }
        kind = next;
    }
}

const QStringList& LanguageDefinition::lexerNames()
{
    static const QStringList names = {
        QStringLiteral("none"),         QStringLiteral("keywords"),
        QStringLiteral("cpp"),          QStringLiteral("csharp"),
        QStringLiteral("java"),         QStringLiteral("javascript"),
        QStringLiteral("idl"),          QStringLiteral("d"),
        QStringLiteral("sql"),          QStringLiteral("html"),
        QStringLiteral("xml"),          QStringLiteral("css"),
        QStringLiteral("perl"),         QStringLiteral("python"),
        QStringLiteral("ruby"),         QStringLiteral("bash"),
        QStringLiteral("batch"),        QStringLiteral("pascal"),
        QStringLiteral("fortran"),      QStringLiteral("fortran77"),
        QStringLiteral("lua"),          QStringLiteral("makefile"),
        QStringLiteral("json"),         QStringLiteral("yaml"),
        QStringLiteral("markdown"),     QStringLiteral("cmake"),
        QStringLiteral("tcl"),          QStringLiteral("matlab"),
        QStringLiteral("octave"),       QStringLiteral("properties"),
        QStringLiteral("tex"),          QStringLiteral("verilog"),
        QStringLiteral("vhdl"),         QStringLiteral("postscript"),
        QStringLiteral("coffeescript"), QStringLiteral("diff"),
        QStringLiteral("po"),           QStringLiteral("pov"),
        QStringLiteral("avs"),          QStringLiteral("spice"),
    };
    return names;
}

LanguageDefinition LanguageDefinition::plain()
{
    LanguageDefinition def;
    def.name = QStringLiteral("Plain Text");
    def.lexer = QStringLiteral("none");
    def.styles = {TokenStyle{TokenKind::Default, 0, 0}};
    return def;
}

std::optional<LanguageDefinition> LanguageDefinition::parse(const QString& text, QString* error)
{
    QString ignored;
    return Parser().run(text, error ? error : &ignored);
}

std::optional<LanguageDefinition> LanguageDefinition::load(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) {
            *error = file.errorString();
        }
        return std::nullopt;
    }
    std::optional<LanguageDefinition> definition = parse(TextCodec::decode(file.readAll()), error);
    if (definition) {
        definition->fileName = path;
    }
    return definition;
}

namespace TokenKinds {

QString name(TokenKind kind)
{
    for (const KindName& k : KindNames) {
        if (k.kind == kind) {
            return QLatin1String(k.name);
        }
    }
    return {};
}

std::optional<TokenKind> fromName(QStringView name)
{
    for (const KindName& k : KindNames) {
        if (name.compare(QLatin1String(k.name), Qt::CaseInsensitive) == 0) {
            return k.kind;
        }
    }
    return std::nullopt;
}

TokenKind fallback(TokenKind kind)
{
    switch (kind) {
    case TokenKind::Keyword2:
    case TokenKind::Tag:
    case TokenKind::Preprocessor:
        return TokenKind::Keyword;
    case TokenKind::Attribute:
        return TokenKind::Keyword2;
    default:
        return TokenKind::Default;
    }
}

TokenKind classify(const QString& description)
{
    const QString d = description.toLower();
    if (containsAny(d, {"comment", "javadoc", "ddoc", "documentation"}) || d == QLatin1String("pod") ||
        d.startsWith(QLatin1String("pod "))) {
        return TokenKind::Comment;
    }
    if (containsAny(d, {"string", "here document", "character", "literal", "regular expression", "verbatim",
                        "backtick", "cdata", "quoted", "escape"})) {
        return TokenKind::String;
    }
    if (d.contains(QLatin1String("number"))) {
        return TokenKind::Number;
    }
    if (containsAny(
            d, {"secondary", "global classes", "standard", "intrinsic", "functions", "external command"})) {
        return TokenKind::Keyword2;
    }
    if (containsAny(d, {"keyword", "reserved"})) {
        return TokenKind::Keyword;
    }
    if (containsAny(d, {"operator", "symbol", "parenthesis", "assignment"})) {
        return TokenKind::Operator;
    }
    if (containsAny(d, {"pre-processor", "preprocessor", "directive", "decorator", "@-rule", "macro",
                        "media rule", "important"})) {
        return TokenKind::Preprocessor;
    }
    if (containsAny(d, {"tag", "selector", "header", "section", "target", "element", "pseudo-class"})) {
        return TokenKind::Tag;
    }
    if (containsAny(d, {"attribute", "property", "variable", "key", "parameter", "label", "entity", "scalar",
                        "array", "hash"})) {
        return TokenKind::Attribute;
    }
    if (containsAny(d, {"identifier", "name", "word", "function", "class"})) {
        return TokenKind::Identifier;
    }
    return TokenKind::Default;
}

} // namespace TokenKinds
