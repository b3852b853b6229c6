// SPDX-License-Identifier: MIT
#include "mainwindow.h"

#include "app/aboutmessages.h"
#include "app/captionfont.h"
#include "app/qtcommondialog.h"
#include "app/systemcolours.h"
#include "app/twips.h"
#include "field/marqueefield.h"
#include "field/presentationview.h"
#include "scroll/scrollstep.h"
#include "window/initialstate.h"

#include <QApplication>
#include <QGroupBox>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QTimer>

namespace {

// An option button of an exclusive group cannot be cleared while it is the checked one;
// clearing must still leave the group with no selection.
void setRadioChecked(QRadioButton *button, bool checked)
{
    if (checked) {
        button->setChecked(true);
        return;
    }
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(true);
}

QRadioButton *createRadio(QWidget *parent, const QString &name, const QString &caption, const char *toolTip,
                          const QRect &geometry)
{
    auto *button = new QRadioButton(caption, parent);
    button->setObjectName(name);
    button->setToolTip(QString::fromLatin1(toolTip));
    // Screen readers speak the caption as the name and the tooltip as the description.
    button->setAccessibleDescription(button->toolTip());
    button->setGeometry(geometry);
    return button;
}

QGroupBox *createFrame(QWidget *parent, const char *name, const char *caption, const QRect &geometry)
{
    auto *frame = new QGroupBox(QString::fromLatin1(caption), parent);
    frame->setObjectName(QString::fromLatin1(name));
    frame->setGeometry(geometry);
    return frame;
}

QMenu *createMenu(QMenuBar *bar, const char *name, const char *caption)
{
    QMenu *menu = bar->addMenu(QString::fromLatin1(caption));
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

void createAction(QMenu *menu, const char *name, const char *caption)
{
    menu->addAction(QString::fromLatin1(caption))->setObjectName(QString::fromLatin1(name));
}

} // namespace

MainWindow::MainWindow(WindowServices services, QWidget *parent)
    : QMainWindow(parent), m_caption(InitialState::caption()),
      m_ownDialog(services.dialog ? nullptr : std::make_unique<QtCommonDialog>(this)),
      m_dialog(services.dialog ? services.dialog : m_ownDialog.get()),
      m_messages(services.messages ? services.messages : this),
      m_programEnd(services.programEnd ? services.programEnd : this), m_startStop(*this),
      m_settings(*this, m_record, *m_messages, *m_programEnd), m_transfer(*this, *m_dialog, *m_messages),
      m_appearance(*this, *m_dialog, m_record, *m_messages)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(m_caption);
    // Every size the hicolor theme has, so that task bars and window switchers pick a sharp one.
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/tickora/tickora-%1.png").arg(size), QSize(size, size));
    setWindowIcon(icon);

    createControls();
    createMenus();
    createKeys();
    setTabOrder();
    wireCommands();
    fitCaptions();

    applyColours(foreColour(), backColour());
    applyFont(font());

    // The caption runs from the window's creation; the scroll timer waits for Start.
    m_captionTimer->start();

    // The window's Load: the start-up restore, before the window is first shown.
    m_settings.restoreAtStartup();

    fitToClientArea();
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    m_displayField->setFocus(Qt::OtherFocusReason);
}

MainWindow::~MainWindow() = default;

// A fixed single border: the client area keeps its size below the menu bar.
void MainWindow::fitToClientArea()
{
    setFixedSize(m_clientArea->width(), m_clientArea->height() + menuBar()->sizeHint().height());
}

// The buttons, option buttons and frames take the font in which all their captions fit;
// the display field keeps the user's font.
void MainWindow::fitCaptions()
{
    QList<CaptionFont::Caption> captions;
    const QList<QAbstractButton *> buttons = m_clientArea->findChildren<QAbstractButton *>();
    for (QAbstractButton *button : buttons) {
        QStringList texts{button->text()};
        if (button == m_startButton)
            texts = {QString::fromLatin1(InitialState::kStartCaption),
                     QString::fromLatin1(InitialState::kStopCaption)};
        captions.append({button, texts});
    }
    const QList<QGroupBox *> frames = m_clientArea->findChildren<QGroupBox *>();
    for (QGroupBox *frame : frames)
        captions.append({frame, {frame->title()}});

    const QFont font = CaptionFont::choose(captions, QWidget::font());
    for (QAbstractButton *button : buttons)
        button->setFont(font);
    for (QGroupBox *frame : frames)
        CaptionFont::placeFrameCaption(frame, font);
}

// The desktop's font or style changed: the captions are fitted again, and the menu bar
// may have grown or shrunk.
void MainWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (m_clientArea && (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)) {
        fitCaptions();
        fitToClientArea();
    }
}

void MainWindow::createControls()
{
    m_clientArea = new QWidget(this);
    m_clientArea->setObjectName(QStringLiteral("clientArea"));
    m_clientArea->setFixedSize(Twips::toPixels(11910), Twips::toPixels(8025));
    setCentralWidget(m_clientArea);

    m_displayField = new MarqueeField(m_clientArea);
    m_displayField->setObjectName(QStringLiteral("txtMarquee"));
    m_displayField->setAccessibleName(QStringLiteral("Marquee text"));
    m_displayField->setGeometry(Twips::rect(240, 240, 11415, 6255));

    QGroupBox *speedFrame =
        createFrame(m_clientArea, "fraSpeed", "Speed", Twips::rect(6480, 6600, 2895, 975));
    // Four columns of three, numbered down the columns.
    static constexpr std::array<int, kSpeedLevelCount> kSpeedWidths{495, 495, 495, 495, 495, 735,
                                                                    495, 615, 615, 615, 615, 615};
    for (int index = 0; index < kSpeedLevelCount; ++index) {
        const int left = 240 + (index / 3) * 600;
        const int top = 200 + (index % 3) * 240;
        m_speedButtons[index] =
            createRadio(speedFrame, QStringLiteral("Opt%1").arg(index + 1), QString::number(index + 1),
                        "Speed", Twips::rect(left, top, kSpeedWidths[index], 255));
    }
    m_speedButtons[InitialState::kSpeedLevel - 1]->setChecked(true);

    QGroupBox *directionFrame =
        createFrame(m_clientArea, "fraDirection", "Direction", Twips::rect(9960, 6600, 1455, 975));
    m_directionBox = new QWidget(directionFrame);
    m_directionBox->setObjectName(QStringLiteral("Picture2"));
    m_directionBox->setAccessibleName(QStringLiteral("Direction"));
    m_directionBox->setGeometry(Twips::rect(120, 240, 1215, 615));
    m_directionBox->setFocusPolicy(Qt::TabFocus);
    m_leftButton = createRadio(m_directionBox, QStringLiteral("optLeft"), QStringLiteral("Left"),
                               "Left Direction", Twips::rect(0, 0, 1095, 195));
    m_rightButton = createRadio(m_directionBox, QStringLiteral("optRight"), QStringLiteral("Right"),
                                "Right Direction", Twips::rect(0, 360, 855, 255));
    m_leftButton->setChecked(true);

    m_startButton = createButton("cmdStart", InitialState::kStartCaption, "Starts Scolling", 480, 6720);
    m_foreColourButton = createButton("Command2", "FG Color", "Sets ForeGround Color", 1440, 6720);
    m_fontButton = createButton("Command4", "Fonts", "Sets Fonts", 2400, 6720);
    m_deleteButton = createButton("Command6", "Delete", "Delets Text and Settings", 3360, 6720);
    m_importButton = createButton("Command7", "Import", "Imports Text", 4320, 6720);
    m_htmlButton = createButton("Command10", "HTML", "Exports Marquee HTML code", 5280, 6720);
    m_clearButton = createButton("Command5", "Clear", "Clears Text", 480, 7200);
    m_backColourButton = createButton("Command3", "BG Color", "Sets BackGround Color", 1440, 7200);
    m_loadButton = createButton("Command8", "Load", "Loads Text and Settings", 2400, 7200);
    m_saveButton = createButton("Command9", "Save", "Saves Text and Settings", 3360, 7200);
    m_exportButton = createButton("Command11", "Export", "Exports Text", 4320, 7200);
    m_exitButton =
        createButton("Command1", "Exit", "Saves Text and Settings and Exits Application.", 5280, 7200);

    m_scrollTimer = new QTimer(this);
    m_scrollTimer->setObjectName(QStringLiteral("tmrMain"));
    m_scrollTimer->setTimerType(Qt::PreciseTimer);
    m_scrollTimer->setInterval(InitialState::kScrollInterval);
    m_captionTimer = new QTimer(this);
    m_captionTimer->setObjectName(QStringLiteral("tmrCaption"));
    m_captionTimer->setTimerType(Qt::PreciseTimer);
    m_captionTimer->setInterval(InitialState::kCaptionInterval);
}

QPushButton *MainWindow::createButton(const char *name, const char *caption, const char *toolTip, int left,
                                      int top)
{
    auto *button = new QPushButton(QString::fromLatin1(caption), m_clientArea);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(QString::fromLatin1(toolTip));
    // The name stays the caption ("Start" turns "Stop"); the tooltip is the description.
    button->setAccessibleDescription(button->toolTip());
    button->setGeometry(Twips::rect(left, top, 855, 375));
    button->setAutoDefault(false);
    return button;
}

void MainWindow::createMenus()
{
    // Captions carry no '&': the menus have no access keys and no shortcuts.
    QMenu *files = createMenu(menuBar(), "f0", "Files");
    createAction(files, "f3", "New");
    createAction(files, "f1", "Open");
    createAction(files, "f2", "Save");

    QMenu *options = createMenu(menuBar(), "o0", "Options");
    createAction(options, "o1", "ForeGround");
    createAction(options, "o2", "BackGround");
    createAction(options, "o4", "TextClear");
    createAction(options, "o5", "TextFonts");

    QMenu *speeds = createMenu(menuBar(), "s0", "Speeds");
    for (int item = 1; item <= kSpeedLevelCount; ++item) {
        speeds->addAction(QStringLiteral("%1").arg(item, 2, 10, QLatin1Char('0')))
            ->setObjectName(QStringLiteral("s%1").arg(item));
    }

    QMenu *about = createMenu(menuBar(), "a0", "About");
    createAction(about, "a2", "Specs");
    createAction(about, "a1", "About");
}

void MainWindow::createKeys()
{
    // Enter clicks "HTML", the window's default button, unless a button has the focus;
    // Esc clicks "FG Color", the cancel button, wherever the focus is.
    for (const int key : {int(Qt::Key_Return), int(Qt::Key_Enter)}) {
        auto *shortcut = new QShortcut(QKeySequence(key), this);
        connect(shortcut, &QShortcut::activated, this, &MainWindow::enterPressed);
    }
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, m_foreColourButton, &QPushButton::click);
    // F11 shows the display alone; the view itself takes Esc and F11 to leave.
    auto *presentation = new QShortcut(QKeySequence(Qt::Key_F11), this);
    connect(presentation, &QShortcut::activated, this, [this] { setPresentation(true); });
}

void MainWindow::enterPressed()
{
    if (auto *button = qobject_cast<QPushButton *>(QApplication::focusWidget());
        button && isAncestorOf(button))
        button->click();
    else
        m_htmlButton->click();
}

void MainWindow::setTabOrder()
{
    QList<QWidget *> order{m_displayField,     m_startButton,  m_clearButton,  m_foreColourButton,
                           m_backColourButton, m_fontButton,   m_loadButton,   m_deleteButton,
                           m_saveButton,       m_importButton, m_exportButton, m_htmlButton,
                           m_exitButton};
    for (QRadioButton *button : m_speedButtons)
        order.append(button);
    order << m_leftButton << m_rightButton << m_directionBox;
    for (qsizetype index = 1; index < order.size(); ++index)
        QWidget::setTabOrder(order[index - 1], order[index]);
}

// Every event the window handles, by the names the controls carry. The option buttons,
// the frames and the menu titles have none; the window's Load runs from the constructor.
void MainWindow::wireCommands()
{
    enum class Event { Click, Timer };
    struct Wire
    {
        const char *control;
        Event event;
        void (MainWindow::*command)();
    };
    // clang-format off
    static constexpr Wire kWiring[]{
        {"tmrMain",    Event::Timer, &MainWindow::scrollStep},
        {"tmrCaption", Event::Timer, &MainWindow::captionStep},
        {"cmdStart",   Event::Click, &MainWindow::startOrStop},
        {"Command9",   Event::Click, &MainWindow::saveSettings},
        {"Command8",   Event::Click, &MainWindow::loadSettings},
        {"Command6",   Event::Click, &MainWindow::deleteSettings},
        {"Command1",   Event::Click, &MainWindow::saveAndExit},
        {"Command7",   Event::Click, &MainWindow::importText},
        {"f1",         Event::Click, &MainWindow::importText},
        {"Command11",  Event::Click, &MainWindow::exportText},
        {"f2",         Event::Click, &MainWindow::exportText},
        {"Command10",  Event::Click, &MainWindow::exportHtml},
        {"Command2",   Event::Click, &MainWindow::chooseForeColour},
        {"o1",         Event::Click, &MainWindow::chooseForeColour},
        {"Command3",   Event::Click, &MainWindow::chooseBackColour},
        {"o2",         Event::Click, &MainWindow::chooseBackColour},
        {"Command4",   Event::Click, &MainWindow::chooseFont},
        {"o5",         Event::Click, &MainWindow::chooseFont},
        {"Command5",   Event::Click, &MainWindow::clearText},
        {"o4",         Event::Click, &MainWindow::clearText},
        {"f3",         Event::Click, &MainWindow::clearText},
        {"a2",         Event::Click, &MainWindow::showSpecs},
        {"a1",         Event::Click, &MainWindow::showAbout},
    };
    // clang-format on
    for (const Wire &wire : kWiring) {
        QObject *control = findChild<QObject *>(QString::fromLatin1(wire.control));
        if (auto *timer = qobject_cast<QTimer *>(control); timer && wire.event == Event::Timer)
            connect(timer, &QTimer::timeout, this, wire.command);
        else if (auto *button = qobject_cast<QPushButton *>(control); button && wire.event == Event::Click)
            connect(button, &QPushButton::clicked, this, wire.command);
        else if (auto *action = qobject_cast<QAction *>(control); action && wire.event == Event::Click)
            connect(action, &QAction::triggered, this, wire.command);
        else
            qFatal("The window has no control \"%s\" with that event", wire.control);
    }
    // Items "01" to "12" of the Speeds menu (s1 to s12); which level each selects is
    // the Start/Stop unit's table.
    for (int item = 1; item <= kSpeedLevelCount; ++item) {
        connect(findChild<QAction *>(QStringLiteral("s%1").arg(item)), &QAction::triggered, this,
                [this, item] { chooseSpeed(item); });
    }

    // Whatever the user changes, other programs learn of.
    connect(m_displayField, &MarqueeField::textChanged, this, [this] {
        if (!m_rotating)
            m_control.notifyChanged();
    });
    connect(m_startButton, &QPushButton::clicked, &m_control, &MarqueeControl::notifyChanged);
    for (QRadioButton *button : m_speedButtons)
        connect(button, &QRadioButton::toggled, &m_control, &MarqueeControl::notifyChanged);
    for (QRadioButton *button : {m_leftButton, m_rightButton})
        connect(button, &QRadioButton::toggled, &m_control, &MarqueeControl::notifyChanged);
}

// --- Commands ---------------------------------------------------------------------

void MainWindow::scrollStep()
{
    m_rotating = true;
    runScrollStep(*this);
    m_rotating = false;
}
void MainWindow::captionStep()
{
    runCaptionStep(*this);
}
void MainWindow::startOrStop()
{
    m_startStop.toggle();
}
void MainWindow::chooseSpeed(int menuItem)
{
    m_startStop.chooseSpeedFromMenu(menuItem);
}

void MainWindow::saveSettings()
{
    m_settings.save();
}
void MainWindow::loadSettings()
{
    m_settings.load();
}
void MainWindow::deleteSettings()
{
    m_settings.deleteFiles();
}
void MainWindow::saveAndExit()
{
    m_settings.exit();
}

void MainWindow::importText()
{
    m_transfer.importText();
}
void MainWindow::exportText()
{
    m_transfer.exportText();
}
void MainWindow::exportHtml()
{
    m_transfer.exportHtml();
}

void MainWindow::chooseForeColour()
{
    m_appearance.chooseForeColour();
}
void MainWindow::chooseBackColour()
{
    m_appearance.chooseBackColour();
}
void MainWindow::chooseFont()
{
    m_appearance.chooseFont();
}
void MainWindow::clearText()
{
    m_appearance.clearText();
}

void MainWindow::showSpecs()
{
    m_messages->showMessage(AboutMessages::specs(), MessageBox::Icon::None);
}
void MainWindow::showAbout()
{
    m_messages->showMessage(AboutMessages::about(), MessageBox::Icon::None);
}

PresentationView *MainWindow::presentation() const
{
    return m_presentation;
}

void MainWindow::setPresentationScreen(QScreen *screen)
{
    m_presentationScreen = screen;
}

void MainWindow::setPresentation(bool on)
{
    if (on == isPresenting())
        return;
    if (on) {
        m_presentation = new PresentationView(*m_displayField, this);
        connect(m_presentation, &PresentationView::leaveRequested, this, [this] { setPresentation(false); });
        m_presentation->showOn(m_presentationScreen ? m_presentationScreen.data() : screen());
        return;
    }
    m_presentation->hide();
    m_presentation->deleteLater();
    m_presentation = nullptr;
    activateWindow();
}

// --- Services ---------------------------------------------------------------------

void MainWindow::showMessage(const QString &text, MessageBox::Icon icon)
{
    QMessageBox box(icon == MessageBox::Icon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon,
                    AboutMessages::productName(), text, QMessageBox::Ok, this);
    box.exec();
}

void MainWindow::endProgram()
{
    m_scrollTimer->stop();
    m_captionTimer->stop();
    QCoreApplication::exit(0);
}

// --- Window access ----------------------------------------------------------------

QString MainWindow::caption() const
{
    return m_caption;
}

void MainWindow::setCaption(const QString &caption)
{
    m_caption = caption;
    setWindowTitle(caption);
}

QString MainWindow::text() const
{
    return m_displayField->text();
}
void MainWindow::setText(const QString &text)
{
    m_displayField->setText(text);
}

void MainWindow::setTextAsTyped(const std::optional<QString> &typed)
{
    m_displayField->setSteadyText(typed);
}

void MainWindow::applyColours(ColourValue fore, ColourValue back)
{
    const QPalette palette = QApplication::palette(m_displayField);
    m_displayField->setColours(SystemColours::resolve(fore, palette), SystemColours::resolve(back, palette));
}

void MainWindow::applyFont(const MarqueeFont &font)
{
    QFont shown(font.name);
    shown.setPointSizeF(font.size);
    shown.setBold(font.bold);
    shown.setItalic(font.italic);
    shown.setUnderline(font.underline);
    m_displayField->setFont(shown);
}

bool MainWindow::isSpeedButtonChecked(int level) const
{
    return m_speedButtons[level - 1]->isChecked();
}

void MainWindow::setSpeedButtonChecked(int level, bool checked)
{
    setRadioChecked(m_speedButtons[level - 1], checked);
}

bool MainWindow::isDirectionSelected(Direction direction) const
{
    return (direction == Direction::Left ? m_leftButton : m_rightButton)->isChecked();
}

void MainWindow::setDirectionSelected(Direction direction, bool selected)
{
    setRadioChecked(direction == Direction::Left ? m_leftButton : m_rightButton, selected);
}

QString MainWindow::startCaption() const
{
    return m_startButton->text();
}
void MainWindow::setStartCaption(const QString &caption)
{
    m_startButton->setText(caption);
}

bool MainWindow::isScrollTimerEnabled() const
{
    return m_scrollTimer->isActive();
}

void MainWindow::setScrollTimerEnabled(bool enabled)
{
    if (enabled && !m_scrollTimer->isActive())
        m_scrollTimer->start();
    else if (!enabled)
        m_scrollTimer->stop();
}

int MainWindow::scrollInterval() const
{
    return m_scrollTimer->interval();
}

void MainWindow::setScrollInterval(int milliseconds)
{
    // Setting a running timer's interval restarts its countdown; the same interval set
    // again on every tick must not, or each tick would come late by the tick's own cost.
    if (m_scrollTimer->interval() != milliseconds)
        m_scrollTimer->setInterval(milliseconds);
}
