#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>

struct AppSettings;

// Where the spreadsheet's search dialog sends what the main window shows of searching: the
// search history the dialog ended with, for the main window's find box, and a search that found
// nothing, which flashes the main window.
class SearchTextSink {
public:
    virtual ~SearchTextSink() = default;
    virtual void takeSearchHistory(const QStringList& history) = 0;
    virtual void searchFailed() = 0;
};

// What the spreadsheet editor reads and changes of the program: the settings (the local
// directory and file kinds, the search history), the main window it minimises while it runs,
// the find box, and the editor documents told that a file they show was written.
struct SheetContext {
    AppSettings& settings;
    QPointer<QWidget> mainWindow;
    SearchTextSink* searchText = nullptr;
    std::function<void(const QString& path)> fileRewritten;
};
