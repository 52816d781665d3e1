#pragma once

#include "gui/SettingsClient.h"

#include <functional>
#include <memory>
#include <QObject>

class CodeEditor;
class PrintSurface;
class PrinterSurface;
class QAction;
class QTreeWidgetItem;
struct WindowContext;

// The print commands of the File menu and the toolbar: snippets, title lists, the tree outline,
// the editor's selection and a picture of the window. They print on the default printer, or, on a
// machine without one, into a PDF file the user names.
class PrintCommands : public QObject, public SettingsClient
{
    Q_OBJECT

public:
    explicit PrintCommands(WindowContext& context, QObject* parent = nullptr);

    void mnuPrintSnippetTitle_Click();
    void mnuPrintSnippetCategory_Click();
    void mnuPrintSnippetLanguage_Click();
    void mnuPrintTitleTitle_Click();
    void mnuPrintTitleCategory_Click();
    void mnuPrintTitleLanguage_Click();
    void mnuPrintTreeSnippets_Click();
    void mnuPrintForm_Click();

    // Where the text layouts print instead of a printer; tests and the benchmark record.
    using SurfaceFactory = std::function<std::unique_ptr<PrintSurface>()>;
    void setSurfaceFactory(SurfaceFactory factory) { m_surfaceFactory = std::move(factory); }

    // Whether the system has a default printer; tests stand in for the machine.
    void setPrinterCheck(std::function<bool()> check) { m_hasPrinter = std::move(check); }

    // Where the editor's word wrap is read, which snippets and selections print with.
    void setWordWrapSource(std::function<bool()> wordWrap) { m_wordWrap = std::move(wordWrap); }

    // The editor's whole text, in colour or in black on white, as the editor prints it. The editor's
    // own print commands take this way too, so they also fall back to a PDF file and report a failure.
    void printEditor(CodeEditor& editor, bool colour, bool wordWrap);

    void applySettings(const AppSettings& settings) override;
    void collectSettings(AppSettings& settings) const override;

public slots:
    // Prints a text as it is, line by line, as one document.
    void printText(const QString& text);

private:
    void createMenus();
    QTreeWidgetItem* selectedNode(const QString& tag, const QString& refusal);
    // The printer to print on, or nullptr when the user chose no PDF file.
    std::unique_ptr<PrinterSurface> openPrinter();
    std::unique_ptr<PrintSurface> openSurface();
    // Ends the document; reports a failure, else shows the status text (and where a PDF went).
    void finish(PrintSurface& surface, const QString& statusText);
    QString databaseLine() const;
    // True, saying so in the status bar, when there is nothing to print.
    bool nothingToPrint(bool empty);
    void printSnippets(const QList<QTreeWidgetItem*>& nodes, const QString& statusText);
    void printEditorSelection();
    bool wordWrap() const { return m_wordWrap && m_wordWrap(); }

    WindowContext& m_context;
    QAction* m_mnuPageBreak = nullptr;
    SurfaceFactory m_surfaceFactory;
    std::function<bool()> m_hasPrinter;
    std::function<bool()> m_wordWrap;
    QString m_pdfPath; // the PDF file of the document being printed, if any
};
