#include "window/ActiveConditionsModel.h"

#include "tests/support/FixedLocale.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace kirvan::testing {
namespace {

// Faults, newest first: the list keeps the order given.
std::vector<ActiveConditions::Condition> faults(std::initializer_list<const char16_t*> texts)
{
    std::vector<ActiveConditions::Condition> rows;
    const QDateTime start(QDate(2026, 12, 10), QTime(7, 0));
    for (const char16_t* text : texts) {
        ActiveConditions::Condition c;
        c.text = QString::fromUtf16(text);
        c.since = start.addSecs(-qsizetype(rows.size()));
        rows.push_back(c);
    }
    return rows;
}

// Under a flood the list changes out of view four times a second; the view is told of a change
// only when a row it shows changed.
TEST(ActiveConditionsModelTest, TellsTheViewOnlyOfRowsInView)
{
    ActiveConditions conditions;
    const FixedLocale locale;
    ActiveConditionsModel model(conditions, locale);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    conditions.restore(faults({u"a", u"b", u"c", u"d", u"e"}));
    EXPECT_TRUE(model.refresh(0, 2));
    EXPECT_EQ(model.rowCount(), 5);
    conditions.restore(faults({u"a", u"b", u"c", u"d", u"e2", u"f"}));
    EXPECT_FALSE(model.refresh(0, 2)) << "rows 5 and 6 are out of view";
    EXPECT_EQ(model.rowCount(), 6);
    conditions.restore(faults({u"a", u"b2"}));
    EXPECT_EQ(model.data(model.index(4, 3), Qt::DisplayRole), QVariant()) << "a row gone before the refresh";
    EXPECT_TRUE(model.refresh(0, 2));
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_TRUE(model.refresh(1, 2)) << "scrolled";
    EXPECT_EQ(changed.size(), 3);
}

} // namespace
} // namespace kirvan::testing
