#include "import/ImportExtensions.h"

#include "import/ForeignSnippets.h"
#include "import/SourceSplitter.h"
#include "store/RemoteCodeFile.h"
#include "store/StagedRecords.h"
#include "store/Zq5File.h"

#include <array>

namespace ImportExtensions {

Loader loaderFor(const QString& path)
{
    const std::array<std::pair<const char*, Loader>, 10> endings{{
        {".zq5", Loader::Zq5},
        {".txt", Loader::Database},
        {".html", Loader::Html},
        {".htm", Loader::Html},
        {".frm", Loader::VisualBasic},
        {".bas", Loader::VisualBasic},
        {".pl", Loader::Perl},
        {".h", Loader::Cpp},
        {".cpp", Loader::Cpp},
        {".java", Loader::Java},
    }};
    for (const auto& [ending, loader] : endings) {
        if (path.endsWith(QLatin1String(ending))) {
            return loader;
        }
    }
    return Loader::None;
}

bool stageFile(const QString& path, CodeArray& staged, QString* error)
{
    if (ForeignSnippets::formatFor(path) != ForeignSnippets::Format::None) {
        return ForeignSnippets::stageFile(path, staged, error);
    }
    switch (loaderFor(path)) {
    case Loader::Zq5:
        return Loadzq5CodeDataFromFile(path, staged, error);
    case Loader::Database:
        return RemoteCodeFile::LoadRemoteCodeDataFromFile(path, staged, error);
    case Loader::Html:
        return SourceSplitter::LoadSourceHTML(staged, path, error);
    case Loader::VisualBasic:
        return SourceSplitter::LoadSourceVB(staged, path, error);
    case Loader::Perl:
        return SourceSplitter::LoadSourceFunction(staged, path, QStringLiteral("Sub"), QStringLiteral("Perl"),
                                                  error);
    case Loader::Cpp:
        return SourceSplitter::LoadSourceFunction(staged, path, QStringLiteral("class"),
                                                  QStringLiteral("C++"), error);
    case Loader::Java:
        return SourceSplitter::LoadSourceFunction(staged, path, QStringLiteral("class"),
                                                  QStringLiteral("Java"), error);
    case Loader::None:
        break;
    }
    StagedRecords(staged).discard();
    return false;
}

} // namespace ImportExtensions
