#include "entries/EntryRules.h"
#include "entries/ListViewEnh.h"
#include "platform/MessageBoxes.h"
#include "vault/EntryListModel.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QItemSelectionModel>
#include <QTest>

namespace {

struct RecordedBoxes : MessageBoxes
{
    int show(const QString &text, int style, const QString &title) override
    {
        shown.append({text, QString::number(style), title});
        return MessageBox::Ok;
    }
    QList<QStringList> shown;
};

// Columns that sort differently; "Alice" and "alice" are equal when letter
// case is ignored.
void fill(EntryListModel &list)
{
    list.appendAll({{"bob", "zeta", "c.org"},
                    {"Alice", "alpha", ""},
                    {"carol", "Mike", "a.com"},
                    {"alice", "beta", "b.net"}});
}

// Entries with these usernames, the passwords "pw0", "pw1", ... and the
// locations "loc0", "loc1", ...
void fill(EntryListModel &list, const QStringList &names)
{
    std::vector<VaultEntry> entries;
    for (int i = 0; i < names.size(); ++i)
        entries.push_back(
            {names[i], QStringLiteral("pw%1").arg(i), QStringLiteral("loc%1").arg(i)});
    list.appendAll(std::move(entries));
}

QStringList usernames(const EntryListModel &list)
{
    QStringList names;
    for (int row = 1; row <= list.count(); ++row)
        names.append(list.field(row, Field::Username));
    return names;
}

} // namespace

// What the editor accepts, what the list shows and opens, and how it sorts.
class TestEntryRules : public QObject
{
    Q_OBJECT

    // A list with its three columns, checked by Qt's model tester throughout.
    std::unique_ptr<EntryListModel> m_model;
    std::unique_ptr<QAbstractItemModelTester> m_tester;

private slots:
    void init()
    {
        m_model = std::make_unique<EntryListModel>();
        m_tester = std::make_unique<QAbstractItemModelTester>(
            m_model.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    }
    void cleanup()
    {
        m_tester.reset();
        m_model.reset();
    }

    // clang-format off
    void checkEntry_data()
    {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<int>("field"); // -1: accepted
        QTest::addColumn<QString>("message");
        QTest::newRow("all empty: username first") << QStringList{"", "", ""} << 0 << "You must enter a username";
        QTest::newRow("no password") << QStringList{"u", "", "x.com"} << 1 << "You must enter a password";
        QTest::newRow("password before separator") << QStringList{"a|||b", "", ""} << 1 << "You must enter a password";
        QTest::newRow("spaces are text") << QStringList{" ", " ", ""} << -1 << "";
        QTest::newRow("Windows-1252 text") << QStringList{"J\u00FCrgen", "\u20AC5", "caf\u00E9|"} << -1 << "";
        QTest::newRow("separator in username") << QStringList{"a|||b", "p", ""} << 0 << "The username cannot contain \"|||\"";
        QTest::newRow("separator in website") << QStringList{"u", "p", "x|||y"} << 2 << "The website cannot contain \"|||\"";
        QTest::newRow("password ends in pipe") << QStringList{"u", "p||", ""} << 1 << "The password cannot end with \"|\"";
        QTest::newRow("CJK") << QStringList{"u", "p\u4E2D", ""} << 1 << "The password contains a character that the vault file cannot store: \"\u4E2D\" (U+4E2D).";
        QTest::newRow("0x8D") << QStringList{"u", "p", "a\u008D"} << 2 << "cannot store: U+008D.";
        QTest::newRow("emoji") << QStringList{"u", "\U0001F600", ""} << 1 << "(U+1F600).";
    }
    // clang-format on
    void checkEntry()
    {
        QFETCH(QStringList, fields);
        QFETCH(int, field);
        QFETCH(QString, message);
        const auto problem = EntryRules::checkEntry({fields[0], fields[1], fields[2]});
        QCOMPARE(problem.field ? int(*problem.field) : -1, field);
        QVERIFY2(problem.message.contains(message), qPrintable(problem.message));
        QCOMPARE(problem.message.isEmpty(), message.isEmpty());
    }

    void hugeFieldsAreShownByTheirStart()
    {
        // A crafted vault can hold a field of a hundred million characters;
        // the list and the status bar show its start, never lay out all of it.
        const QString huge(100000, u'x');
        const QString status = EntryRules::copiedStatus(Field::Username, huge);
        QVERIFY(status.startsWith(QStringLiteral("Copied Username xxx")));
        QVERIFY(status.size() < 5000);
        QCOMPARE(EntryRules::copiedStatus(Field::Password, QStringLiteral("pw")),
                 QStringLiteral("Copied Password pw"));

        m_model->append({huge, "p", "l"});
        const QString shown = m_model->data(m_model->index(0, 0)).toString();
        QVERIFY(!shown.isEmpty() && shown.size() < 5000 && huge.startsWith(shown));
        QCOMPARE(m_model->field(1, Field::Username), huge);
    }

    void acceptedEntriesReadBackUnchanged()
    {
        // However its pipes meet the separators, an entry the editor lets
        // through comes back from the file as typed.
        const QStringList pieces = {"", "|", "||", "a|", "|a", "a||b", "a|b|", "||a||", "a|||b"};
        int accepted = 0;
        for (const QString &u : pieces) {
            for (const QString &p : pieces) {
                for (const QString &l : pieces) {
                    const VaultEntry entry {"x" + u, "y" + p, l};
                    if (!EntryRules::checkEntry(entry).ok())
                        continue;
                    ++accepted;
                    const QString line = entry.username + "|||" + entry.password + "|||" + l;
                    QCOMPARE(VaultFormat::parseEntryLine(VaultFormat::encodeLine(line)), entry);
                }
            }
        }
        QCOMPARE(accepted, 3 * 3 * 8);
    }

    // clang-format off
    void normalisedLocation_data()
    {
        QTest::addColumn<QString>("location");
        QTest::addColumn<QString>("opened");
        QTest::newRow(".com, no scheme") << "mail.example.com" << "http://mail.example.com";
        QTest::newRow("ftp gets http in front") << "ftp://x.com" << "http://ftp://x.com";
        QTest::newRow("empty stays empty") << "" << "";
        QTest::newRow("org inside a word") << "Georgia" << "http://Georgia";
        QTest::newRow("biz, www, .edu in any case") << "SHOWBIZ, Www, mit.EDU" << "http://SHOWBIZ, Www, mit.EDU";
        QTest::newRow("net, com, edu without dots") << "intranet company education" << "intranet company education";
        QTest::newRow("scheme without marker") << "http://localhost" << "http://localhost";
        QTest::newRow("drive, backslash") << "C:\\Work\\organiser" << "C:\\Work\\organiser";
        QTest::newRow("share") << "\\\\server\\www\\docs" << "\\\\server\\www\\docs";
        QTest::newRow("absolute path") << "/home/me/www" << "/home/me/www";
        QTest::newRow("home folder") << "~/org/notes" << QDir::toNativeSeparators(QDir::homePath() + "/org/notes");
        QTest::newRow("blanks around an address") << " \thttp://example.org/a b " << "http://example.org/a b";
        QTest::newRow("blanks around a home path") << "  ~/notes " << QDir::toNativeSeparators(QDir::homePath() + "/notes");
        QTest::newRow("relative path is not local") << "www/org" << "http://www/org";
        QTest::newRow("drive letter needs a separator") << "C:www.example.com" << "http://C:www.example.com";
        QTest::newRow("tilde needs a slash") << "~www.example.org" << "http://~www.example.org";
    }
    // clang-format on
    void normalisedLocation()
    {
        QFETCH(QString, location);
        QFETCH(QString, opened);
        QCOMPARE(EntryRules::normalisedLocation(location), opened);
    }

    // clang-format off
    void sortColumns_data()
    {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<QStringList>("order");
        // The list starts unsorted and ascending, so the first click sorts
        // descending; every click flips the order, whatever its column.
        QTest::newRow("username") << QList<int>{1} << QStringList{"carol", "bob", "Alice", "alice"};
        QTest::newRow("username twice") << QList<int>{1, 1} << QStringList{"Alice", "alice", "bob", "carol"};
        QTest::newRow("username, password") << QList<int>{1, 2} << QStringList{"Alice", "alice", "carol", "bob"};
        QTest::newRow("website, blank last") << QList<int>{3} << QStringList{"bob", "alice", "carol", "Alice"};
        QTest::newRow("website twice") << QList<int>{3, 3} << QStringList{"Alice", "carol", "alice", "bob"};
    }
    // clang-format on
    void sortColumns()
    {
        QFETCH(QList<int>, clicks);
        QFETCH(QStringList, order);
        EntryListModel list;
        fill(list);
        for (int column : clicks)
            QVERIFY(EnhListView_SortColumns(list, column, false));
        QVERIFY(list.sorted());
        QCOMPARE(list.sortKey(), clicks.last() - 1);
        QCOMPARE(list.sortOrder(), clicks.size() % 2);
        QCOMPARE(usernames(list), order);
    }

    void sortFailures()
    {
        RecordedBoxes boxes;
        EntryListModel empty;
        QVERIFY(EnhListView_SortColumns(empty, 9, true, &boxes));
        QVERIFY(!empty.sorted());

        EntryListModel list;
        fill(list);
        QVERIFY(!EnhListView_SortColumns(list, 4, false, &boxes));
        QVERIFY(boxes.shown.isEmpty());
        // The step before the failing one stays done.
        QVERIFY(list.sorted());
        QCOMPARE(list.sortKey(), 0);
        QCOMPARE(list.sortOrder(), 0);
        QVERIFY(!EnhListView_SortColumns(list, 0, true, &boxes));
        QCOMPARE(boxes.shown,
                 QList<QStringList>({{"Error35600\tIndex out of bounds", "64",
                                      "Error in Function : EnhListView_SortColumns"}}));
    }
    void rowsColumnsAndIds()
    {
        QCOMPARE(m_model->columnCount(), 3);
        QCOMPARE(m_model->headerData(2, Qt::Horizontal).toString(),
                 QStringLiteral("Website/Location"));
        fill(*m_model, {"a", "b", "c"});
        QCOMPARE(m_model->data(m_model->index(0, 2)).toString(), QStringLiteral("loc0"));
        const auto idOfB = m_model->idOf(2);
        QCOMPARE(m_model->rowOf(idOfB), 2);
        m_model->remove(1);
        // The rows after a removed one move up; the id still finds its entry.
        QCOMPARE(usernames(*m_model), (QStringList {"b", "c"}));
        QCOMPARE(m_model->rowOf(idOfB), 1);
        m_model->remove(1);
        QCOMPARE(m_model->rowOf(idOfB), 0);
        QCOMPARE(m_model->append({"d", "", ""}), 2);
        QCOMPARE(m_model->field(2, Field::Password), QString());
    }

    // clang-format off
    void sortOrder_data()
    {
        QTest::addColumn<QStringList>("input");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("ignores case") << QStringList{"beta", "Alpha", "alpha2", "Gamma"} << QStringList{"Alpha", "alpha2", "beta", "Gamma"};
        QTest::newRow("numbers as text") << QStringList{"10", "9", "100"} << QStringList{"10", "100", "9"};
        QTest::newRow("accented letters with their base letter") << QStringList{"\u00E9clair", "f", "e"} << QStringList{"e", "\u00E9clair", "f"};
        QTest::newRow("blanks first") << QStringList{"b", "", "a"} << QStringList{"", "a", "b"};
    }
    // clang-format on
    void sortOrder()
    {
        QFETCH(QStringList, input);
        QFETCH(QStringList, expected);
        fill(*m_model, input);
        m_model->sortBy(int(Field::Username), EntryListModel::Ascending);
        QCOMPARE(usernames(*m_model), expected);
        // Each row keeps its own fields.
        for (int row = 1; row <= m_model->count(); ++row) {
            const int original = int(input.indexOf(m_model->field(row, Field::Username)));
            QCOMPARE(m_model->field(row, Field::Password), QStringLiteral("pw%1").arg(original));
        }
    }

    void sortIsStableAndKeepsSelection()
    {
        fill(*m_model, {"same", "other", "same", "SAME"});
        QItemSelectionModel selection(m_model.get());
        const auto idOfSecondSame = m_model->idOf(3);
        selection.select(m_model->index(2, 0),
                         QItemSelectionModel::Select | QItemSelectionModel::Rows);

        m_model->sortBy(int(Field::Username), EntryListModel::Descending);
        QCOMPARE(usernames(*m_model), (QStringList {"same", "same", "SAME", "other"}));
        // Equal names keep their order: pw0, pw2, pw3.
        QCOMPARE(m_model->field(1, Field::Password), QStringLiteral("pw0"));
        QCOMPARE(m_model->field(2, Field::Password), QStringLiteral("pw2"));
        QCOMPARE(m_model->field(3, Field::Password), QStringLiteral("pw3"));
        const QModelIndexList selected = selection.selectedRows();
        QCOMPARE(selected.size(), 1);
        QCOMPARE(selected.first().row() + 1, m_model->rowOf(idOfSecondSame));
    }

    void appendToSortedListGoesToItsPlace()
    {
        fill(*m_model, {"c", "a", "e"});
        QCOMPARE(m_model->append({"b", "", ""}), 4); // unsorted: at the end
        m_model->setSorted(true);
        QCOMPARE(usernames(*m_model), (QStringList {"a", "b", "c", "e"}));
        QCOMPARE(m_model->append({"d", "", ""}), 4);
        QCOMPARE(m_model->append({"C", "", ""}), 4); // after the equal "c"
        QCOMPARE(usernames(*m_model), (QStringList {"a", "b", "c", "C", "d", "e"}));
        m_model->setSortOrder(EntryListModel::Descending);
        QCOMPARE(m_model->append({"zz", "", ""}), 1);
    }

    void editInSortedListMoves()
    {
        fill(*m_model, {"a", "b", "c"});
        m_model->setSorted(true);
        const auto id = m_model->idOf(1);
        QCOMPARE(m_model->setEntry(1, {"z", "new", ""}), 3);
        QCOMPARE(m_model->rowOf(id), 3);
        QCOMPARE(m_model->field(3, Field::Password), QStringLiteral("new"));
        QCOMPARE(usernames(*m_model), (QStringList {"b", "c", "z"}));
    }
};

QTEST_GUILESS_MAIN(TestEntryRules)
#include "tst_EntryRules.moc"
