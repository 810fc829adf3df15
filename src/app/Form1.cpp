#include "Form1.h"

#include "FindBar.h"
#include "MainMenus.h"
#include "MainWindowLayout.h"
#include "entries/EntryCommands.h"
#include "entries/EntryRules.h"
#include "info/LinkRules.h"
#include "skin/Skinning.h"
#include "vault/EntryFields.h"
#include "vault/EntryFilterModel.h"
#include "vault/EntryListModel.h"
#include "vault/Wipe.h"
#include "widgets/Controls.h"
#include "widgets/Twips.h"
#include "widgets/WindowContext.h"

#include <QAction>
#include <QCloseEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QToolButton>
#include <QTreeView>

Form1::Form1(WindowContext &context, EntryListModel &entries, EntryCommands &commands)
    : QMainWindow(nullptr)
    , m_context(context)
    , m_entries(entries)
    , m_commands(commands)
    , m_listLeft(MainWindowLayout::kListLeft)
    , m_listTop(MainWindowLayout::kListTop)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Form1"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/app.png")));
    setFont(Controls::verdana());

    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);

    cmdAdd[0] = makeButton(QStringLiteral("cmdAdd"), QStringLiteral("Add"), QStringLiteral("add"),
                           60, 60, 1155, 1035);
    cmdDelete = makeButton(QStringLiteral("cmdDelete"), QStringLiteral("Delete"),
                           QStringLiteral("delete"), 1260, 60, 1155, 1035);
    cmdEdit = makeButton(QStringLiteral("cmdEdit"), QStringLiteral("Edit"), QStringLiteral("edit"),
                         2460, 60, 1155, 1035);
    cmdGoto = makeButton(QStringLiteral("cmdGoto"), QStringLiteral("Go To"), QStringLiteral("goto"),
                         3660, 60, 1155, 1035);
    cmdWebsite[0] = makeButton(QStringLiteral("cmdWebsite"), QStringLiteral("Command1"),
                               QStringLiteral("website"), 4860, 60, 4095, 1035);
    // A copy button under each column, in the order of the fields.
    const double copyLefts[] = {60, 2460, 4860};
    const double copyWidths[] = {2355, 2355, 4095};
    for (int i = 0; i < int(cmdCopy.size()); ++i) {
        QToolButton *button
            = makeButton(QStringLiteral("cmdCopy"), entryField(Field(i)).copyButton.toString(),
                         QStringLiteral("copy"), copyLefts[i], 1140, copyWidths[i], 795);
        button->setProperty("index", i);
        connect(button, &QToolButton::clicked, this, [this, i] { cmdCopy_Click(i); });
        cmdCopy[size_t(i)] = button;
    }
    cmdAdd[0]->setProperty("index", 0);
    cmdWebsite[0]->setProperty("index", 0);
    connect(cmdAdd[0], &QToolButton::clicked, this, [this] { cmdAdd_Click(0); });
    connect(cmdDelete, &QToolButton::clicked, this, &Form1::cmdDelete_Click);
    connect(cmdEdit, &QToolButton::clicked, this, &Form1::cmdEdit_Click);
    connect(cmdGoto, &QToolButton::clicked, this, &Form1::cmdGoto_Click);
    connect(cmdWebsite[0], &QToolButton::clicked, this, [this] { cmdWebsite_Click(0); });

    lstPass = Controls::reportList(client, QStringLiteral("lstPass"), QStringLiteral("Entries"));
    m_shown = new EntryFilterModel(m_entries, this);
    lstPass->setModel(m_shown);
    connect(lstPass->header(), &QHeaderView::sectionClicked, this,
            [this](int logicalIndex) { lstPass_ColumnClick(logicalIndex + 1); });
    // Reached by Tab, the list selects the row the focus lands on, so that
    // Enter, Delete and the copy keys act on the row the user sees marked.
    lstPass->installEventFilter(this);
    // A double-click on a row edits it, as Enter on a row does.
    connect(lstPass, &QTreeView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.isValid())
            cmdEdit_Click();
    });
    setListGeometryTwips(m_listLeft, m_listTop, 8895, 4215);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setFixedHeight(Twips::toPixels(MainWindowLayout::kStatusBarHeight));
    statusPanel = new QLabel(StatusBar1);
    statusPanel->setObjectName(QStringLiteral("statusPanel"));
    statusPanel->setTextFormat(Qt::PlainText);
    statusPanel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // The panel keeps the width it gets at load; a narrower window clips
    // it rather than being held wide by it.
    statusPanel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    StatusBar1->addWidget(statusPanel, 1);
    setStatusBar(StatusBar1);

    buildMenus();
    buildFindAndHide();

    // Tab order: Add, Edit, Delete, the link button, the list, Copy
    // Username, Go To, Copy Password, Copy Used At.
    const QList<QWidget *> order = {cmdAdd[0],  cmdEdit, cmdDelete,  cmdWebsite[0], lstPass,
                                    cmdCopy[0], cmdGoto, cmdCopy[1], cmdCopy[2]};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);

    resize(Twips::toPixels(MainWindowLayout::kClientWidth),
           Twips::toPixels(MainWindowLayout::kClientHeight) + menuBar()->sizeHint().height());
    Controls::centreOnScreen(this);
}

Form1::~Form1() = default;

void Form1::buildMenus()
{
    const MainMenuHandlers handlers {
        .importVault = [this] { emit importRequested(); },
        .exportVault = [this] { emit exportRequested(); },
        .encrypt = [this] { emit encryptRequested(); },
        .removeEncryption = [this] { emit removeEncryptionRequested(); },
        .changePassword = [this] { emit changePasswordRequested(); },
        .lock = [this] { emit lockRequested(); },
        .exit = [this] { close(); },
        .add = [this] { cmdAdd_Click(0); },
        .remove = [this] { cmdDelete_Click(); },
        .edit = [this] { cmdEdit_Click(); },
        .goTo = [this] { cmdGoto_Click(); },
        .find = [this] { mnuFind_Click(); },
        .hidePasswords = [this](bool hide) { mnuHidePasswords_Click(hide); },
        .sortBy = [this](Field field) { lstPass_ColumnClick(int(field) + 1); },
        .copy = [this](Field field) { cmdCopy_Click(int(field)); },
        .help = [this] { emit helpRequested(); },
        .about = [this] { emit aboutRequested(); },
    };
    m_menus = new MainMenus(menuBar(), m_context.settings, handlers);
    // Enter on the list edits the selected entry.
    lstPass->addAction(m_menus->editItem());
}

QToolButton *Form1::makeButton(const QString &name, const QString &caption, const QString &icon,
                               double left, double top, double width, double height)
{
    return Controls::pictureButton(centralWidget(), name, caption, icon,
                                   Twips::rect(left, top, width, height));
}

void Form1::formLoad()
{
    InitSkinForMainWindow(m_context.skin);
    const Branding &branding = m_context.branding;
    setWindowTitle(branding.strProductName + QStringLiteral(" by ") + branding.strCompanyName);
    cmdWebsite[0]->setText(QStringLiteral("Visit ") + branding.strComments);
    cmdWebsite[0]->setAccessibleName(cmdWebsite[0]->text());

    // The columns fill the list exactly at the window's designed size, in
    // the proportions of these widths.
    const std::array<double, 3> designed = {
        Twips::fromPixels(cmdCopy[0]->width()) - 10,
        Twips::fromPixels(cmdCopy[1]->width()) + 20,
        Twips::fromPixels(cmdCopy[2]->width()),
    };
    const int available = Twips::toPixels(MainWindowLayout::kClientWidth - 2 * m_listLeft)
        - 2 * lstPass->frameWidth();
    const std::array<int, 3> widths = MainWindowLayout::columnWidthsFor(designed, available);
    for (size_t i = 0; i < widths.size(); ++i)
        lstPass->header()->resizeSection(int(i), widths[i]);

    statusPanel->setMaximumWidth(Twips::toPixels(std::abs(outerSizeTwips().width())));
    setMinimumSizeToFit();
}

void Form1::afterFormLoad()
{
    if (m_context.skin.bUseSkin)
        ApplySkinToForm(m_context.skin, this);
    // Once skinned: the skin changes the header's height.
    setMinimumSizeToFit();
    setVisible(true);
    // The keys typed after the password go here, also when the help window
    // opens beside it.
    activateWindow();
    if (const int row = std::exchange(m_rowBeforeLock, 0)) {
        const int shown = m_shown->shownRow(row);
        if (shown >= 0)
            selectShown(m_shown->index(shown, 0));
        lstPass->setFocus();
    }
}

void Form1::lockView()
{
    m_rowBeforeLock = selectedRow();
    // The status bar may name a copied password.
    QString said = statusPanel->text();
    wipeEverywhere(said);
    statusPanel->clear();
    hide();
}

void Form1::setMinimumSizeToFit()
{
    // No smaller than both button rows whole, the list's header with one
    // row under it, and the status bar.
    const int row = std::max(lstPass->sizeHintForRow(0), lstPass->fontMetrics().height());
    const int listHeight = lstPass->header()->sizeHint().height() + row + 2 * lstPass->frameWidth();
    setMinimumSize(Twips::toPixels(MainWindowLayout::kButtonsRight + m_listLeft),
                   menuBar()->sizeHint().height() + Twips::toPixels(m_listTop) + listHeight
                       + StatusBar1->height());
}

void Form1::setStatusText(const QString &text)
{
    // What it said before may name a copied password: wiped once replaced,
    // unless someone else still holds it.
    QString said = statusPanel->text();
    statusPanel->setText(text);
    wipeIfHeldByAtMost(said, 1);
}

QString Form1::statusText() const
{
    return statusPanel->text();
}

QSizeF Form1::outerSizeTwips() const
{
    const QSize outer = frameGeometry().size();
    return QSizeF(Twips::fromPixels(outer.width()), Twips::fromPixels(outer.height()));
}

void Form1::setListGeometryTwips(double left, double top, double width, double height)
{
    m_listLeft = left;
    m_listTop = top;
    lstPass->setGeometry(Twips::rect(left, top, width, height));
}

void Form1::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    if (!isMinimized())
        layoutList();
}

void Form1::layoutList()
{
    // The main window's layout has sized the client area already.
    const QSize client = centralWidget()->size();
    const QSizeF size = MainWindowLayout::listSizeFor(
        QSizeF(Twips::fromPixels(client.width()), Twips::fromPixels(client.height())), m_listLeft,
        m_listTop);
    setListGeometryTwips(m_listLeft, m_listTop, size.width(), size.height());
    if (!findBar || findBar->isHidden())
        return;
    // The find bar stands under the list, which gives up the height.
    const QRect list = lstPass->geometry();
    const int barHeight = std::min(Twips::toPixels(FindBar::kHeight), list.height());
    lstPass->setGeometry(list.adjusted(0, 0, 0, -barHeight));
    findBar->setGeometry(list.left(), list.bottom() + 1 - barHeight, list.width(), barHeight);
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    // Tabbing into the list selects the row the focus lands on, so that
    // the keys for the commands find a selected row.
    if (watched == lstPass && event->type() == QEvent::FocusIn
        && !lstPass->selectionModel()->hasSelection()) {
        const QModelIndex current = lstPass->currentIndex().isValid()
            ? lstPass->currentIndex()
            : lstPass->model()->index(0, 0);
        if (current.isValid())
            lstPass->selectionModel()->setCurrentIndex(
                current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    return QMainWindow::eventFilter(watched, event);
}

void Form1::closeEvent(QCloseEvent *event)
{
    event->accept();
    emit closing(event);
}

int Form1::selectedRow() const
{
    QList<int> rows;
    const QModelIndexList selected = lstPass->selectionModel()->selectedIndexes();
    rows.reserve(selected.size());
    for (const QModelIndex &index : selected)
        rows.append(m_shown->entryRow(index.row()));
    return EntryRules::firstSelectedRow(rows);
}

void Form1::cmdAdd_Click(int)
{
    m_commands.add();
}

void Form1::cmdDelete_Click()
{
    m_commands.remove(selectedRow());
}

void Form1::cmdEdit_Click()
{
    m_commands.edit(selectedRow());
}

void Form1::cmdGoto_Click()
{
    m_commands.goTo(selectedRow());
}

void Form1::cmdCopy_Click(int index)
{
    if (index >= 0 && index < kFieldCount)
        m_commands.copy(Field(index), selectedRow());
}

void Form1::cmdWebsite_Click(int)
{
    emit linkRequested(LinkRules::websiteKey());
}

void Form1::lstPass_ColumnClick(int position)
{
    m_commands.sortByColumn(position);
    showSortIndicator();
}

void Form1::showSortIndicator()
{
    if (!m_entries.sorted())
        return;
    QHeaderView *header = lstPass->header();
    header->setSortIndicatorShown(true);
    header->setSortIndicator(m_entries.sortKey(),
                             m_entries.sortOrder() == EntryListModel::Ascending
                                 ? Qt::AscendingOrder
                                 : Qt::DescendingOrder);
}

void Form1::showVaultFormat(bool encrypted)
{
    m_menus->showVaultFormat(encrypted);
}

void Form1::buildFindAndHide()
{
    findBar = new FindBar(centralWidget());
    connect(findBar, &FindBar::textChanged, this, &Form1::findTextChanged);
    connect(findBar, &FindBar::closeRequested, this, &Form1::closeFindBar);
    connect(findBar, &FindBar::firstMatchRequested, this, &Form1::goToFirstMatch);
    findBar->hide();
    setTabOrder(lstPass, findBar->box());

    m_shown->setPasswordsHidden(m_context.settings.hidePasswords());
    connect(&m_context.settings, &Settings::changed, this, [this](Settings::Key key) {
        if (key == Settings::Key::HidePasswords)
            passwordsHiddenChanged();
    });

    // The copy keys act on the selected match while the find box has no
    // text of its own selected.
    findBar->setWindowKeys(m_menus->copyKeys());
}

void Form1::goToFirstMatch()
{
    const QModelIndex first = m_shown->index(0, 0);
    if (!first.isValid())
        return;
    lstPass->setFocus();
    selectShown(first);
}

void Form1::selectShown(const QModelIndex &index)
{
    lstPass->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    lstPass->scrollTo(index);
}

void Form1::mnuFind_Click()
{
    if (!findBar->isHidden()) {
        findBar->box()->setFocus();
        return;
    }
    findBar->show();
    layoutList();
    // The search text of every entry is made now, so that the first key
    // typed does not wait for it.
    m_entries.prepareFolded();
    findBar->box()->setFocus();
}

void Form1::closeFindBar()
{
    findBar->box()->clear();
    findBar->hide();
    layoutList();
    lstPass->setFocus();
    m_commands.reportShown(m_entries.count(), m_entries.count(), false);
}

template<typename Change> void Form1::keepSelection(Change change)
{
    const int row = selectedRow();
    const EntryListModel::EntryId id = row ? m_entries.idOf(row) : 0;
    change();
    if (!id)
        return;
    const int shown = m_shown->shownRow(m_entries.rowOf(id));
    if (shown < 0)
        return;
    if (lstPass->hasFocus()) {
        selectShown(m_shown->index(shown, 0));
        return;
    }
    // While the user types elsewhere (in the find box) the same entry is
    // marked again quietly: news of a selected row would make a screen
    // reader read the row mid-word.
    const QSignalBlocker quiet(lstPass->selectionModel());
    selectShown(m_shown->index(shown, 0));
    lstPass->viewport()->update();
}

void Form1::findTextChanged(const QString &text)
{
    keepSelection([this, &text] { m_shown->setFindText(text); });
    if (findBar->isHidden())
        return;
    m_commands.reportShown(m_shown->rowCount(), m_entries.count(), m_shown->filtering());
}

void Form1::mnuHidePasswords_Click(bool hide)
{
    m_context.settings.setHidePasswords(hide);
}

void Form1::passwordsHiddenChanged()
{
    const bool hide = m_context.settings.hidePasswords();
    m_menus->showPasswordsHidden(hide);
    if (hide == m_shown->passwordsHidden())
        return;
    keepSelection([this, hide] { m_shown->setPasswordsHidden(hide); });
    if (m_shown->filtering())
        m_commands.reportShown(m_shown->rowCount(), m_entries.count(), true);
}
