#pragma once
// The main window: the commands that work on the whole sensor, the nine-page tab control and
// the place where one of the five child panels is shown.
#include <QWidget>

#include <array>

class QPushButton;
class QRadioButton;
class QButtonGroup;
class QTabWidget;
class QGridLayout;
class Program;

class MainPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int kPageCount = 9;
    enum Page {
        kCommunicationPage = 0,
        kParameterPage = 1,
        kGroupHoldPage = 2,
        kTeachTablePage = 3,
        kRecorderPage = 4,
        kCalibrationPage = 5,
        kTableAttributesPage = 6,
        kScopeSettingsPage = 7,
        kOffsetPage = 8,
    };
    static constexpr int kRestoreWidth = 790;
    static constexpr int kRestoreHeight = 548;

    explicit MainPanel(Program& program);

    // Puts a page into the tab control at its index (replacing the empty page there, keeping
    // its label).
    void SetPage(int index, QWidget* page);
    // Adds a child panel to the child area; hidden until shown by ShowChildPanel.
    void AddChildPanel(QWidget* panel);
    void RestoreSize();

    QPushButton* buttonSend;
    QPushButton* buttonGet;
    QPushButton* buttonGo;
    QPushButton* buttonStop;
    std::array<QRadioButton*, 3> selectMem{};     // RAM, EEPROM, FILE
    std::array<QRadioButton*, 2> selectParaSet{}; // ParaSet0, ParaSet1
    QButtonGroup* memGroup;
    QButtonGroup* paraSetGroup;
    QTabWidget* tabMain1;
    QWidget* childArea;

    void CBF_ButtonGo();
    void CBF_ButtonStop();
    void CBF_ButtonSend();
    void CBF_ButtonGet();
    void CBF_SelectMem(int memoryTarget);
    void CBF_SelectParaSet(int paraSet);

protected:
    void closeEvent(QCloseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QWidget* BuildCommandBar();
    Program& program;
    QGridLayout* childLayout;
};
