#pragma once

class CodeEditor;
class QLineEdit;

// The views that show the selected node: title, keywords, code, date and attached file.
struct SnippetViews
{
    QLineEdit* txtTitle = nullptr;
    QLineEdit* txtKeywords = nullptr;
    CodeEditor* txtCode = nullptr;
    QLineEdit* txtUpdate = nullptr;
    QLineEdit* txtObject = nullptr;
};
