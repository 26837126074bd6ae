// Tvendol: the main window. It holds the current table in DBGrid1 under the menu bar and
// the two tool bars, and runs every menu command; analysis commands first check that a
// table is open. Each menu of the menu bar is built, and its commands handled, in its own
// file (main_window_file.cpp, main_window_data.cpp, main_window_analysis.cpp,
// main_window_graph.cpp, main_window_help.cpp).
#pragma once

#include <QMainWindow>

#include <functional>

#include "text/edition.h"

class QMenu;
class QTimer;
class QToolBar;

namespace zandor::ui {

class DataGrid;
class HelpWindow;
class Navigator;
class Session;
class TAbout_Frm;
class TLife_table_frm;
class TSingle_Region_frm;
class TTable_info_frm;

class Tvendol : public QMainWindow {
    Q_OBJECT
public:
    explicit Tvendol(Edition edition, QWidget* parent = nullptr);
    ~Tvendol() override;

    Session& session() { return *session_; }
    DataGrid* grid() const { return DBGrid1; }

    // Makes the table at `path` the current table, as Open does once a file is chosen. On
    // failure the message is shown and the previous table stays open; false then.
    bool openTable(const QString& path);

    // The most recently created dialogs (kept in the session until the program ends).
    TTable_info_frm* tableInfoForm() const;
    TAbout_Frm* aboutForm() const;
    HelpWindow* helpWindow() const;
    TLife_table_frm* lifeTableForm() const;
    TSingle_Region_frm* singleRegionForm() const;

public slots:
    // 文件
    void New1Click();
    void Open1Click();
    void Import1Click();
    void Export1Click();
    void N8Click();
    void Save1Click();
    void Close1Click();
    void Exit1Click();
    // 数据管理
    void N10Click();
    void N11Click();
    void Table_infoClick();
    void Restructure1Click();
    void Convert1Click();
    void Compute1Click();
    // 人口分析
    void N3Click();
    void N4Click();
    void N13Click();
    void LifeTable1Click();
    void N7Click();
    void N12Click();
    void Projection1Click();
    void N6Click();
    void Simulation1Click();
    // 图形
    void Line1Click();
    void Bar1Click();
    void HorizBar1Click();
    void Point1Click();
    void Area1Click();
    void Scator1Click();
    void AgePyrimider1Click();
    // 帮助
    void About1Click();
    void Content1Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The check a command makes before it opens its window.
    enum class TableCheck {
        Required,       // "没有打开的数据表!请先打开数据表." without a table
        RequiredShort,  // "没有打开的数据表!" (修改表结构 alone)
        None,           // opens without a table
    };
    struct Opening {
        TableCheck check = TableCheck::Required;
        Qt::WindowModality modality = Qt::ApplicationModal;
    };
    // Creates a command's window (parented to the main window).
    using DialogFactory = std::function<QWidget*()>;

    // Opens a command's window the way every command does: the table check, a fresh
    // instance from `create`, remembered in the session as the newest of its class (the
    // previous one is deleted), shown modally unless `how` says otherwise.
    void openDialog(const DialogFactory& create, Opening how);
    void openDialog(const DialogFactory& create);
    // The table check alone; false (after its message) when no table is open.
    bool passesTableCheck(TableCheck check);

    void FormCreate();
    void buildMenus();
    QMenu* buildFileMenu();
    QMenu* buildDataMenu();
    QMenu* buildAnalysisMenu();
    QMenu* buildGraphMenu();
    QMenu* buildHelpMenu();
    // A submenu of `parent` (the menu bar or a menu) with the object name `name`.
    QMenu* addSubmenu(QWidget* parent, const char* name, const QString& caption);
    // A command of `menu` with the object name `name`, running `handler`.
    QAction* addCommand(QMenu* menu, const char* name, const QString& caption, void (Tvendol::*handler)());
    void buildToolBars(QWidget* central);
    // Posts the record in edit of the current table; false (after a message) when it could
    // not be stored, in which case the caller leaves the table as it is.
    bool postPendingEdit();
    // Closes the current table (after posting) and clears the table-open flag.
    bool closeTable();
    void preparePopulationTable(bool urbanRural);

    Session* session_;
    DataGrid* DBGrid1 = nullptr;
    Navigator* DBNavigator1 = nullptr;
    QMenu* topMenus_[5] = {};
    QString pendingNotice_;  // the read-only notice of a table opened before the window showed
    QTimer* noticeTimer_ = nullptr;
    QTimer* noticeTimer();
};

}  // namespace zandor::ui
