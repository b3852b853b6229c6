#pragma once

#include "appearance/appearancecommands.h"
#include "io/texttransfer.h"
#include "scroll/startstop.h"
#include "settings/settingscommands.h"
#include "settings/settingsrecord.h"
#include "window/services.h"
#include "window/windowaccess.h"

#include <QMainWindow>

#include <array>
#include <memory>

class CommonDialog;
class MarqueeField;
class QAction;
class QGroupBox;
class QMenu;
class QPushButton;
class QRadioButton;
class QTimer;

// The services the window uses for modal dialogs, messages and ending the program.
// Tests hand in scripted stand-ins; any left empty is the real one.
struct WindowServices
{
    CommonDialog *dialog = nullptr;
    MessageBox *messages = nullptr;
    ProgramEnd *programEnd = nullptr;
};

// The program's one window. Its controls are the shared state that the commands read
// and write through WindowAccess; each event of a control calls one handler, named
// after the control and the event.
class MainWindow final : public QMainWindow, public WindowAccess, private MessageBox, private ProgramEnd
{
    Q_OBJECT

public:
    explicit MainWindow(WindowServices services = {}, QWidget *parent = nullptr);
    ~MainWindow() override;

    // WindowAccess
    [[nodiscard]] QString caption() const override;
    void setCaption(const QString &caption) override;
    [[nodiscard]] QString text() const override;
    void setText(const QString &text) override;
    [[nodiscard]] ColourValue foreColour() const override { return m_foreColour; }
    bool setForeColour(ColourValue colour) override;
    [[nodiscard]] ColourValue backColour() const override { return m_backColour; }
    bool setBackColour(ColourValue colour) override;
    [[nodiscard]] MarqueeFont font() const override { return m_font; }
    bool setFontName(const QString &name) override;
    bool setFontSize(double points) override;
    void setFontBold(bool bold) override;
    void setFontItalic(bool italic) override;
    void setFontUnderline(bool underline) override;
    [[nodiscard]] bool isSpeedSelected(int level) const override;
    void setSpeedSelected(int level, bool selected) override;
    [[nodiscard]] bool isDirectionSelected(Direction direction) const override;
    void setDirectionSelected(Direction direction, bool selected) override;
    [[nodiscard]] QString startCaption() const override;
    void setStartCaption(const QString &caption) override;
    [[nodiscard]] bool isScrollTimerEnabled() const override;
    void setScrollTimerEnabled(bool enabled) override;
    [[nodiscard]] int scrollInterval() const override;
    void setScrollInterval(int milliseconds) override;

    [[nodiscard]] const SettingsRecord &settingsRecord() const { return m_record; }
    [[nodiscard]] CommonDialog &commonDialog() const { return *m_dialog; }

private:
    // The handlers, one for each event of the wiring.
    void frmMain_Load();
    void tmrMain_Timer();
    void tmrCaption_Timer();
    void cmdStart_Click();
    void s1_Click();
    void s2_Click();
    void s3_Click();
    void s4_Click();
    void s5_Click();
    void s6_Click();
    void s7_Click();
    void s8_Click();
    void s9_Click();
    void s10_Click();
    void s11_Click();
    void s12_Click();
    void Command9_Click();
    void Command8_Click();
    void Command6_Click();
    void Command1_Click();
    void Command7_Click();
    void f1_Click();
    void Command11_Click();
    void f2_Click();
    void Command10_Click();
    void Command2_Click();
    void o1_Click();
    void Command3_Click();
    void o2_Click();
    void Command4_Click();
    void o5_Click();
    void Command5_Click();
    void o4_Click();
    void f3_Click();
    void a2_Click();
    void a1_Click();

    // MessageBox and ProgramEnd, the real ones.
    void showMessage(const QString &text, MessageBox::Icon icon) override;
    void endProgram() override;

    void createControls();
    void createMenus();
    void createKeys();
    void setTabOrder();
    void wireHandlers();
    QPushButton *createButton(const char *name, const char *caption, const char *toolTip, int left, int top);
    void applyColours();
    void applyFont();
    void returnPressed();

    QWidget *m_client = nullptr;
    MarqueeField *txtMarquee = nullptr;
    QGroupBox *fraSpeed = nullptr;
    QGroupBox *fraDirection = nullptr;
    QWidget *Picture2 = nullptr;
    std::array<QRadioButton *, kSpeedLevelCount> Opt{};
    QRadioButton *optLeft = nullptr;
    QRadioButton *optRight = nullptr;
    QPushButton *cmdStart = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *Command3 = nullptr;
    QPushButton *Command4 = nullptr;
    QPushButton *Command5 = nullptr;
    QPushButton *Command6 = nullptr;
    QPushButton *Command7 = nullptr;
    QPushButton *Command8 = nullptr;
    QPushButton *Command9 = nullptr;
    QPushButton *Command10 = nullptr;
    QPushButton *Command11 = nullptr;
    QTimer *tmrMain = nullptr;
    QTimer *tmrCaption = nullptr;
    QMenu *f0 = nullptr;
    QMenu *o0 = nullptr;
    QMenu *s0 = nullptr;
    QMenu *a0 = nullptr;
    QAction *f1 = nullptr;
    QAction *f2 = nullptr;
    QAction *f3 = nullptr;
    QAction *o1 = nullptr;
    QAction *o2 = nullptr;
    QAction *o4 = nullptr;
    QAction *o5 = nullptr;
    std::array<QAction *, kSpeedLevelCount> s{};
    QAction *a1 = nullptr;
    QAction *a2 = nullptr;

    QString m_caption;
    ColourValue m_foreColour;
    ColourValue m_backColour;
    MarqueeFont m_font;

    std::unique_ptr<CommonDialog> m_ownDialog;
    CommonDialog *m_dialog;
    MessageBox *m_messages;
    ProgramEnd *m_programEnd;
    SettingsRecord m_record;
    StartStop m_startStop;
    SettingsCommands m_settings;
    TextTransfer m_transfer;
    AppearanceCommands m_appearance;
};
