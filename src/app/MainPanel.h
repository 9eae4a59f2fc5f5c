#pragma once
// The main window's frame: the command bar that the subsystems fill, the nine-page tab control
// and the area where one of the five child panels is shown.
#include "core/Shell.h"

#include <QWidget>

#include <array>
#include <functional>

class QGridLayout;
class QHBoxLayout;
class QLabel;
class QTabWidget;

namespace app {

class MainPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRestoreWidth = 790;
    static constexpr int kRestoreHeight = 548;

    MainPanel();

    // Puts a subsystem's page into the tab control, labelled, at its index among the nine. Until
    // then a blank stand-in holds its tab (shown, hidden or in front as the page would be).
    void SetPage(int index, QWidget* page);
    // A page made invisible is out of the tab control and disabled: no key, wheel or click
    // reaches it until it is made visible again.
    void SetPageVisible(int index, bool visible);
    bool PageShown(int index) const;
    void ShowPage(int index);
    // The index among the nine of the page in front, -1 for none.
    int CurrentPage() const;
    // Adds a child panel to the child area; hidden until shown.
    void AddChildPanel(QWidget* panel);
    void AddToCommandBar(QWidget* widget, bool right);
    // The brand block goes above everything else.
    void SetBrandBlock(QWidget* block);
    void RestoreSize();
    // The status bar along the bottom: the link, the loop, the last command.
    // `linkDetail`: the link's whole story, as the link field's tooltip.
    void ShowStatus(const QString& link, const QString& loop, const QString& command,
                    const QString& linkDetail);
    // The mark of changes the sensor has not been sent, in the status bar.
    void ShowUnsent(bool unsent);
    // Asked before the window closes; false keeps it open.
    void SetCloseCheck(std::function<bool()> check) { mayClose = std::move(check); }

signals:
    void PageChanged(int index);
    void Closing();

protected:
    void closeEvent(QCloseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QWidget* BuildStatusBar();
    void InsertTab(int index);
    // What holds the tab of page `index`: the page, or its stand-in until it is registered.
    QWidget* Tabbed(int index) const;
    int PageOf(const QWidget* page) const;
    std::array<QWidget*, core::kMainPageCount> pages{};
    std::array<QWidget*, core::kMainPageCount> standIns{};
    QHBoxLayout* commandBar;
    QTabWidget* tabMain1;
    QWidget* childArea;
    QGridLayout* childLayout;
    QLabel* statusLink;
    QLabel* statusLoop;
    QLabel* statusCommand;
    QLabel* statusUnsent;
    std::function<bool()> mayClose;
};

} // namespace app
