#pragma once
// What every subsystem may ask of the window that holds it: the communication log and the
// status line, dimming the controls that start sensor traffic, showing a child panel, bringing
// a tab page to the front, and the one gate that keeps commands from nesting. The main window
// implements it; subsystems never see the main window itself.
#include <functional>
#include <span>
#include <string>
#include <string_view>

class QWidget;

namespace core {

class CommandGate;

// Tab pages of the main panel, by index.
enum class MainPage : int {
    Communication = 0,
    Parameters = 1,
    GroupHold = 2,
    TeachTable = 3,
    Recorder = 4,
    Calibration = 5,
    TableAttributes = 6,
    ScopeSettings = 7,
    Offset = 8,
};
inline constexpr int kMainPageCount = 9;

// The five child panels inside the main panel; None hides all five.
enum class ChildPanel { Data, Graph, Teach1, Teach2, Scope, None };

class Shell {
public:
    virtual ~Shell() = default;
    virtual void AppendLog(const std::string& text) = 0;
    virtual void SetStatusLine(const std::string& text) = 0;
    virtual void ClearLog() = 0;
    // Dims (1) or undims (0) the controls that start sensor traffic; live mode 1 leaves the
    // transfer controls usable so that SEND and GET can be asked for during GO.
    virtual void SetButtonsDimmed(int liveMode, int dim) = 0;
    // The controls that need a working link, dimmed by a command started from one of them,
    // live again once it has ended with the link good (nothing when it is not).
    virtual void ReleaseLinkControls() = 0;
    virtual void ShowChildPanel(ChildPanel panel) = 0;
    virtual void ShowPage(MainPage page) = 0;
    // Shows or hides a tab page (the service page is hidden until the password opens it).
    virtual void SetPageVisible(MainPage page, bool visible) = 0;
    virtual CommandGate& Gate() = 0;
    // The last command the operator gave and how it ended ("done", "failed", ...), for the
    // status bar.
    virtual void ReportCommand(const std::string& description, const std::string& outcome) = 0;
};

// How a control that starts sensor traffic follows SetButtonsDimmed.
enum class CommandKind {
    Command,   // dimmed and undimmed with every operation
    Transfer,  // as Command, but left usable in live mode
    NeedsLink, // dimmed with every operation, undimmed only by a successful identification or,
               // after a command of their own that left the link good, ReleaseLinkControls
};

// What a subsystem hands to the window when it is composed: its pages, its child panels, its
// widgets of the command bar, its command controls and its help texts.
struct NamedHelp;
class Registrar {
public:
    virtual ~Registrar() = default;
    virtual void AddPage(MainPage page, QWidget* widget) = 0;
    virtual void AddChildPanel(ChildPanel panel, QWidget* widget) = 0;
    // Left of the bar (before the stretch) or right of it.
    virtual void AddToCommandBar(QWidget* widget, bool right) = 0;
    virtual void AddCommandControl(QWidget* control, CommandKind kind) = 0;
    virtual void AddHelp(std::span<const NamedHelp> entries) = 0;
};

// Runs `command` through the shell's gate as `name`; when another command holds the gate, says
// so on the status line instead (nothing is said once the window closes). True when it ran.
bool RunCommand(Shell& shell, std::string_view name, const std::function<void()>& command);

} // namespace core
