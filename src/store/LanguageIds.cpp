#include "store/LanguageIds.h"

#include <array>

namespace {

struct Entry
{
    const char* id;
    const char* name;
};

// The first id of a name is the one exports write.
constexpr std::array<Entry, 31> kTable{{
    {"c", "C"},
    {"cpp", "C++"},
    {"csharp", "C#"},
    {"css", "CSS"},
    {"go", "Go"},
    {"html", "HTML"},
    {"java", "Java"},
    {"javascript", "JavaScript"},
    {"typescript", "TypeScript"},
    {"json", "JSON"},
    {"kotlin", "Kotlin"},
    {"lua", "Lua"},
    {"markdown", "Markdown"},
    {"perl", "Perl"},
    {"php", "PHP"},
    {"powershell", "PowerShell"},
    {"python", "Python"},
    {"ruby", "Ruby"},
    {"rust", "Rust"},
    {"shellscript", "Bash"},
    {"sh", "Bash"},
    {"bash", "Bash"},
    {"shell", "Bash"},
    {"sql", "SQL"},
    {"vb", "Visual Basic"},
    {"xml", "XML"},
    {"yaml", "YAML"},
    {"plaintext", "Text"},
    {"plain_text", "Text"},
    {"text", "Text"},
    {"", "Text"},
}};

const Entry* findId(const QString& id)
{
    for (const Entry& e : kTable)
        if (id == QLatin1String(e.id))
            return &e;
    return nullptr;
}

} // namespace

namespace LanguageIds {

QString libraryName(const QString& id)
{
    const QString trimmed = id.trimmed();
    if (const Entry* e = findId(trimmed))
        return QString::fromLatin1(e->name);
    return trimmed.left(1).toUpper() + trimmed.mid(1);
}

QString idFor(const QString& languageName)
{
    for (const Entry& e : kTable)
        if (languageName.compare(QLatin1String(e.name), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(e.id);
    return {};
}

bool isKnownId(const QString& id)
{
    return findId(id.trimmed()) != nullptr;
}

} // namespace LanguageIds
