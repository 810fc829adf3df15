#include "vault/EntryListModel.h"

#include <QAbstractItemModelTester>
#include <QItemSelectionModel>
#include <QSignalSpy>
#include <QTest>

class TestEntryListModel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void columnsAreAddedLeftToRight();
    void rowsAndIds();
    void sortOrder_data();
    void sortOrder();
    void sortIsStableAndKeepsSelection();
    void appendToSortedListGoesToItsPlace();
    void editInSortedListMoves();

private:
    void fill(const QStringList &usernames);
    QStringList usernames() const;

    std::unique_ptr<EntryListModel> m_model;
    std::unique_ptr<QAbstractItemModelTester> m_tester;
};

void TestEntryListModel::init()
{
    m_model = std::make_unique<EntryListModel>();
    m_tester = std::make_unique<QAbstractItemModelTester>(
        m_model.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    m_model->addColumnHeader(QStringLiteral("Username"));
    m_model->addColumnHeader(QStringLiteral("Password"));
    m_model->addColumnHeader(QStringLiteral("Website/Location"));
}

void TestEntryListModel::cleanup()
{
    m_tester.reset();
    m_model.reset();
}

void TestEntryListModel::fill(const QStringList &names)
{
    std::vector<VaultEntry> entries;
    for (int i = 0; i < names.size(); ++i)
        entries.push_back(
            {names[i], QStringLiteral("pw%1").arg(i), QStringLiteral("loc%1").arg(i)});
    m_model->appendAll(std::move(entries));
}

QStringList TestEntryListModel::usernames() const
{
    QStringList names;
    for (int row = 1; row <= m_model->count(); ++row)
        names.append(m_model->field(row, Field::Username));
    return names;
}

void TestEntryListModel::columnsAreAddedLeftToRight()
{
    QCOMPARE(m_model->columnCount(), 3);
    QCOMPARE(m_model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Username"));
    QCOMPARE(m_model->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Website/Location"));
    fill({"a"});
    QCOMPARE(m_model->data(m_model->index(0, 1)).toString(), QStringLiteral("pw0"));
    QCOMPARE(m_model->data(m_model->index(0, 2)).toString(), QStringLiteral("loc0"));
}

void TestEntryListModel::rowsAndIds()
{
    fill({"a", "b", "c"});
    const auto idOfB = m_model->idOf(2);
    QCOMPARE(m_model->rowOf(idOfB), 2);
    m_model->remove(1);
    // The rows after a removed one move up; the id still finds its entry.
    QCOMPARE(usernames(), (QStringList {"b", "c"}));
    QCOMPARE(m_model->rowOf(idOfB), 1);
    m_model->remove(1);
    QCOMPARE(m_model->rowOf(idOfB), 0);
    QCOMPARE(m_model->append({"d", "", ""}), 2);
    QCOMPARE(m_model->field(2, Field::Password), QString());
}

void TestEntryListModel::sortOrder_data()
{
    QTest::addColumn<QStringList>("input");
    QTest::addColumn<int>("order");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("ignores case") << QStringList {"beta", "Alpha", "alpha2", "Gamma"}
                                  << int(EntryListModel::Ascending)
                                  << QStringList {"Alpha", "alpha2", "beta", "Gamma"};
    QTest::newRow("descending") << QStringList {"beta", "Alpha", "gamma"}
                                << int(EntryListModel::Descending)
                                << QStringList {"gamma", "beta", "Alpha"};
    QTest::newRow("numbers as text")
        << QStringList {"10", "9", "100"} << int(EntryListModel::Ascending)
        << QStringList {"10", "100", "9"};
    QTest::newRow("accented letters with their base letter")
        << QStringList {"\u00E9clair", "f", "e"} << int(EntryListModel::Ascending)
        << QStringList {"e", "\u00E9clair", "f"};
    QTest::newRow("blanks first") << QStringList {"b", "", "a"} << int(EntryListModel::Ascending)
                                  << QStringList {"", "a", "b"};
}

void TestEntryListModel::sortOrder()
{
    QFETCH(QStringList, input);
    QFETCH(int, order);
    QFETCH(QStringList, expected);
    fill(input);
    m_model->sortBy(int(Field::Username), order);
    QCOMPARE(usernames(), expected);
    // Each row keeps its own fields.
    for (int row = 1; row <= m_model->count(); ++row) {
        const int original = int(input.indexOf(m_model->field(row, Field::Username)));
        QCOMPARE(m_model->field(row, Field::Password), QStringLiteral("pw%1").arg(original));
    }
}

void TestEntryListModel::sortIsStableAndKeepsSelection()
{
    fill({"same", "other", "same", "SAME"});
    QItemSelectionModel selection(m_model.get());
    const auto idOfSecondSame = m_model->idOf(3);
    selection.select(m_model->index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);

    m_model->sortBy(int(Field::Username), EntryListModel::Descending);
    QCOMPARE(usernames(), (QStringList {"same", "same", "SAME", "other"}));
    // Equal names keep their order: pw0, pw2, pw3.
    QCOMPARE(m_model->field(1, Field::Password), QStringLiteral("pw0"));
    QCOMPARE(m_model->field(2, Field::Password), QStringLiteral("pw2"));
    QCOMPARE(m_model->field(3, Field::Password), QStringLiteral("pw3"));
    const QModelIndexList selected = selection.selectedRows();
    QCOMPARE(selected.size(), 1);
    QCOMPARE(selected.first().row() + 1, m_model->rowOf(idOfSecondSame));

    // Sorting by another column re-sorts by that column's text.
    m_model->sortBy(int(Field::Location), EntryListModel::Descending);
    QCOMPARE(m_model->field(1, Field::Location), QStringLiteral("loc3"));
    QCOMPARE(m_model->field(4, Field::Location), QStringLiteral("loc0"));
}

void TestEntryListModel::appendToSortedListGoesToItsPlace()
{
    fill({"c", "a", "e"});
    QCOMPARE(m_model->append({"b", "", ""}), 4); // unsorted: at the end
    m_model->setSorted(true);
    QCOMPARE(usernames(), (QStringList {"a", "b", "c", "e"}));
    QCOMPARE(m_model->append({"d", "", ""}), 4);
    QCOMPARE(m_model->append({"C", "", ""}), 4); // after the equal "c"
    QCOMPARE(usernames(), (QStringList {"a", "b", "c", "C", "d", "e"}));
    m_model->setSortOrder(EntryListModel::Descending);
    QCOMPARE(m_model->append({"zz", "", ""}), 1);
}

void TestEntryListModel::editInSortedListMoves()
{
    fill({"a", "b", "c"});
    m_model->setSorted(true);
    const auto id = m_model->idOf(1);
    QCOMPARE(m_model->setEntry(1, {"z", "new", ""}), 3);
    QCOMPARE(m_model->rowOf(id), 3);
    QCOMPARE(m_model->field(3, Field::Password), QStringLiteral("new"));
    QCOMPARE(usernames(), (QStringList {"b", "c", "z"}));
}

QTEST_GUILESS_MAIN(TestEntryListModel)
#include "tst_EntryListModel.moc"
