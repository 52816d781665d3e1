#include "import/PetSnippets.h"

#include "import/ForeignText.h"
#include "store/LineEnds.h"

#include <string_view>
#include <toml++/toml.h>

namespace {

QString text(const toml::node_view<const toml::node>& node)
{
    const std::string_view value = node.value_or(std::string_view());
    return QString::fromUtf8(value.data(), qsizetype(value.size()));
}

// pet writes its tags as an array; a single string is taken as one tag.
QString tags(const toml::node_view<const toml::node>& node)
{
    QStringList names;
    if (const toml::array* array = node.as_array()) {
        for (const toml::node& tag : *array) {
            if (const auto name = tag.value<std::string_view>()) {
                names.append(QString::fromUtf8(name->data(), qsizetype(name->size())));
            }
        }
    } else {
        names.append(text(node));
    }
    names.removeAll(QString());
    return names.join(u' ');
}

} // namespace

namespace PetSnippets {

bool read(QByteArrayView bytes, const QString& date, CodeArray& records, QString* error)
{
    toml::table document;
    try {
        document = toml::parse(std::string_view(bytes.data(), size_t(bytes.size())));
    } catch (const toml::parse_error& e) {
        if (error) {
            *error = QStringLiteral("line %1, column %2 (%3)")
                         .arg(e.source().begin.line)
                         .arg(e.source().begin.column)
                         .arg(QString::fromUtf8(e.description().data(), qsizetype(e.description().size())));
        }
        return false;
    }
    const toml::array* snippets = document["snippets"].as_array();
    if (!snippets) {
        return true;
    }
    for (const toml::node& node : *snippets) {
        const toml::table* snippet = node.as_table();
        if (!snippet) {
            continue;
        }
        const toml::node_view<const toml::node> fields(snippet);
        SnippetRecord r;
        r.Title = text(fields["description"]);
        r.Code = withCrLf(text(fields["command"]));
        r.Keywords = tags(fields["tag"]);
        r.DText = withCrLf(text(fields["output"]));
        r.Language = QLatin1String(Language);
        r.Category = QLatin1String(Category);
        r.Date = date;
        records.push_back(std::move(r));
    }
    return true;
}

} // namespace PetSnippets
