#include "editor/ui/SyntaxLexers.h"

#include "editor/ui/KeywordLexer.h"

#include <functional>
#include <Qsci/qscilexeravs.h>
#include <Qsci/qscilexerbash.h>
#include <Qsci/qscilexerbatch.h>
#include <Qsci/qscilexercmake.h>
#include <Qsci/qscilexercoffeescript.h>
#include <Qsci/qscilexercpp.h>
#include <Qsci/qscilexercsharp.h>
#include <Qsci/qscilexercss.h>
#include <Qsci/qscilexerd.h>
#include <Qsci/qscilexerdiff.h>
#include <Qsci/qscilexerfortran.h>
#include <Qsci/qscilexerfortran77.h>
#include <Qsci/qscilexerhtml.h>
#include <Qsci/qscilexeridl.h>
#include <Qsci/qscilexerjava.h>
#include <Qsci/qscilexerjavascript.h>
#include <Qsci/qscilexerjson.h>
#include <Qsci/qscilexerlua.h>
#include <Qsci/qscilexermakefile.h>
#include <Qsci/qscilexermarkdown.h>
#include <Qsci/qscilexermatlab.h>
#include <Qsci/qscilexeroctave.h>
#include <Qsci/qscilexerpascal.h>
#include <Qsci/qscilexerperl.h>
#include <Qsci/qscilexerpo.h>
#include <Qsci/qscilexerpostscript.h>
#include <Qsci/qscilexerpov.h>
#include <Qsci/qscilexerproperties.h>
#include <Qsci/qscilexerpython.h>
#include <Qsci/qscilexerruby.h>
#include <Qsci/qscilexerspice.h>
#include <Qsci/qscilexersql.h>
#include <Qsci/qscilexertcl.h>
#include <Qsci/qscilexertex.h>
#include <Qsci/qscilexerverilog.h>
#include <Qsci/qscilexervhdl.h>
#include <Qsci/qscilexerxml.h>
#include <Qsci/qscilexeryaml.h>

namespace SyntaxLexers {

QsciLexer* create(const LanguageDefinition& definition, QObject* parent)
{
    using Maker = std::function<QsciLexer*(QObject*)>;
    static const QHash<QString, Maker> makers = {
        {QStringLiteral("cpp"), [](QObject* p) { return new QsciLexerCPP(p); }},
        {QStringLiteral("csharp"), [](QObject* p) { return new QsciLexerCSharp(p); }},
        {QStringLiteral("java"), [](QObject* p) { return new QsciLexerJava(p); }},
        {QStringLiteral("javascript"), [](QObject* p) { return new QsciLexerJavaScript(p); }},
        {QStringLiteral("idl"), [](QObject* p) { return new QsciLexerIDL(p); }},
        {QStringLiteral("d"), [](QObject* p) { return new QsciLexerD(p); }},
        {QStringLiteral("sql"), [](QObject* p) { return new QsciLexerSQL(p); }},
        {QStringLiteral("html"), [](QObject* p) { return new QsciLexerHTML(p); }},
        {QStringLiteral("xml"), [](QObject* p) { return new QsciLexerXML(p); }},
        {QStringLiteral("css"), [](QObject* p) { return new QsciLexerCSS(p); }},
        {QStringLiteral("perl"), [](QObject* p) { return new QsciLexerPerl(p); }},
        {QStringLiteral("python"), [](QObject* p) { return new QsciLexerPython(p); }},
        {QStringLiteral("ruby"), [](QObject* p) { return new QsciLexerRuby(p); }},
        {QStringLiteral("bash"), [](QObject* p) { return new QsciLexerBash(p); }},
        {QStringLiteral("batch"), [](QObject* p) { return new QsciLexerBatch(p); }},
        {QStringLiteral("pascal"), [](QObject* p) { return new QsciLexerPascal(p); }},
        {QStringLiteral("fortran"), [](QObject* p) { return new QsciLexerFortran(p); }},
        {QStringLiteral("fortran77"), [](QObject* p) { return new QsciLexerFortran77(p); }},
        {QStringLiteral("lua"), [](QObject* p) { return new QsciLexerLua(p); }},
        {QStringLiteral("makefile"), [](QObject* p) { return new QsciLexerMakefile(p); }},
        {QStringLiteral("json"), [](QObject* p) { return new QsciLexerJSON(p); }},
        {QStringLiteral("yaml"), [](QObject* p) { return new QsciLexerYAML(p); }},
        {QStringLiteral("markdown"), [](QObject* p) { return new QsciLexerMarkdown(p); }},
        {QStringLiteral("cmake"), [](QObject* p) { return new QsciLexerCMake(p); }},
        {QStringLiteral("tcl"), [](QObject* p) { return new QsciLexerTCL(p); }},
        {QStringLiteral("matlab"), [](QObject* p) { return new QsciLexerMatlab(p); }},
        {QStringLiteral("octave"), [](QObject* p) { return new QsciLexerOctave(p); }},
        {QStringLiteral("properties"), [](QObject* p) { return new QsciLexerProperties(p); }},
        {QStringLiteral("tex"), [](QObject* p) { return new QsciLexerTeX(p); }},
        {QStringLiteral("verilog"), [](QObject* p) { return new QsciLexerVerilog(p); }},
        {QStringLiteral("vhdl"), [](QObject* p) { return new QsciLexerVHDL(p); }},
        {QStringLiteral("postscript"), [](QObject* p) { return new QsciLexerPostScript(p); }},
        {QStringLiteral("coffeescript"), [](QObject* p) { return new QsciLexerCoffeeScript(p); }},
        {QStringLiteral("diff"), [](QObject* p) { return new QsciLexerDiff(p); }},
        {QStringLiteral("po"), [](QObject* p) { return new QsciLexerPO(p); }},
        {QStringLiteral("pov"), [](QObject* p) { return new QsciLexerPOV(p); }},
        {QStringLiteral("avs"), [](QObject* p) { return new QsciLexerAVS(p); }},
        {QStringLiteral("spice"), [](QObject* p) { return new QsciLexerSpice(p); }},
    };
    if (definition.lexer == QLatin1String("keywords")) {
        return new KeywordLexer(definition, parent);
    }
    const Maker make = makers.value(definition.lexer);
    return make ? make(parent) : nullptr;
}

} // namespace SyntaxLexers
