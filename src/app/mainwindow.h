// SPDX-License-Identifier: MIT
#pragma once

#include "appearance/appearancecommands.h"
#include "io/texttransfer.h"
#include "scroll/marqueecontrol.h"
#include "scroll/startstop.h"
#include "settings/settingscommands.h"
#include "settings/settingsrecord.h"
#include "window/services.h"
#include "window/windowaccess.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <memory>

class CommonDialog;
class MarqueeField;
class PresentationView;
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
// and write through WindowAccess. Each command is one function, which its button, its
// menu items and its keys all call; wireCommands() holds the whole wiring.
class MainWindow final : public QMainWindow, public WindowAccess, private MessageBox, private ProgramEnd
{
    Q_OBJECT

public:
    explicit MainWindow(WindowServices services = {}, QWidget *parent = nullptr);
    ~MainWindow() override;

    // The display field's font, not the window's own.
    using WindowAccess::font;

    // The marquee's commands for other programs and a followed file.
    [[nodiscard]] MarqueeControl &control() { return m_control; }

    // The display alone on a whole screen (F11); leaving it shows the window as before.
    void setPresentation(bool on);
    [[nodiscard]] bool isPresenting() const { return !m_presentation.isNull(); }
    [[nodiscard]] PresentationView *presentation() const;
    // Where the presentation shows; none: the window's own screen.
    void setPresentationScreen(QScreen *screen);

    // WindowAccess
    [[nodiscard]] QString caption() const override;
    void setCaption(const QString &caption) override;
    [[nodiscard]] QString text() const override;
    void setText(const QString &text) override;
    void setTextAsTyped(const std::optional<QString> &typed) override;
    [[nodiscard]] bool isDirectionSelected(Direction direction) const override;
    void setDirectionSelected(Direction direction, bool selected) override;
    [[nodiscard]] QString startCaption() const override;
    void setStartCaption(const QString &caption) override;
    [[nodiscard]] bool isScrollTimerEnabled() const override;
    void setScrollTimerEnabled(bool enabled) override;
    [[nodiscard]] int scrollInterval() const override;
    void setScrollInterval(int milliseconds) override;

private:
    // The commands.
    void scrollStep();
    void captionStep();
    void startOrStop();
    void chooseSpeed(int menuItem);
    void saveSettings();
    void loadSettings();
    void deleteSettings();
    void saveAndExit();
    void importText();
    void exportText();
    void exportHtml();
    void chooseForeColour();
    void chooseBackColour();
    void chooseFont();
    void clearText();
    void showSpecs();
    void showAbout();

    // WindowAccess
    void applyColours(ColourValue fore, ColourValue back) override;
    void applyFont(const MarqueeFont &font) override;
    [[nodiscard]] bool isSpeedButtonChecked(int level) const override;
    void setSpeedButtonChecked(int level, bool checked) override;

    // MessageBox and ProgramEnd, the real ones.
    void showMessage(const QString &text, MessageBox::Icon icon) override;
    void endProgram() override;

    void changeEvent(QEvent *event) override;

    void createControls();
    void createMenus();
    void createKeys();
    void setTabOrder();
    void wireCommands();
    void fitCaptions();
    void fitToClientArea();
    QPushButton *createButton(const char *name, const char *caption, const char *toolTip, int left, int top);
    void enterPressed();

    QWidget *m_clientArea = nullptr;
    MarqueeField *m_displayField = nullptr;
    std::array<QRadioButton *, kSpeedLevelCount> m_speedButtons{};
    QWidget *m_directionBox = nullptr;
    QRadioButton *m_leftButton = nullptr;
    QRadioButton *m_rightButton = nullptr;
    QPushButton *m_startButton = nullptr;
    QPushButton *m_foreColourButton = nullptr;
    QPushButton *m_fontButton = nullptr;
    QPushButton *m_deleteButton = nullptr;
    QPushButton *m_importButton = nullptr;
    QPushButton *m_htmlButton = nullptr;
    QPushButton *m_clearButton = nullptr;
    QPushButton *m_backColourButton = nullptr;
    QPushButton *m_loadButton = nullptr;
    QPushButton *m_saveButton = nullptr;
    QPushButton *m_exportButton = nullptr;
    QPushButton *m_exitButton = nullptr;
    QTimer *m_scrollTimer = nullptr;
    QTimer *m_captionTimer = nullptr;

    QString m_caption;
    QPointer<PresentationView> m_presentation;
    QPointer<QScreen> m_presentationScreen;
    // While the scroll timer rotates the text, which changes nothing another program sees.
    bool m_rotating = false;

    std::unique_ptr<CommonDialog> m_ownDialog;
    CommonDialog *m_dialog;
    MessageBox *m_messages;
    ProgramEnd *m_programEnd;
    SettingsRecord m_record;
    StartStop m_startStop;
    SettingsCommands m_settings;
    TextTransfer m_transfer;
    AppearanceCommands m_appearance;
    MarqueeControl m_control{*this, m_startStop};
};
