// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The library's forms on the Qt backend: a user types and clicks, and the result
// lands on the projection or datum.
#include <QRadioButton>
#include <QLineEdit>

#include "dialogs/EditDatum.h"
#include "dialogs/Install.h"
#include "dialogs/qt/QtBackend.h"
#include "platform/CLocale.h"
#include "projections/TransverseMercator.h"
#include "qt/QtDriver.h"

namespace gw::dlg {
namespace {

using test::click;
using test::control;
using test::typeInto;
using test::whenShown;

constexpr int idFeet = 7146;
constexpr int idFalseEast = 7108;

class QtForms : public testing::Test {
protected:
    void SetUp() override {
        setDialogBackend(gridwiseQtBackend());
        installDialogs();
    }
    void TearDown() override { setDialogBackend(nullptr); }
};

TEST_F(QtForms, FalseEastingTypedInFeetIsHeldInMetres) {
    TransverseMercator tm;
    tm.units = 0;
    whenShown([](QDialog& d) {
        EXPECT_EQ(d.objectName(), "dialog7013");
        EXPECT_EQ(d.windowTitle(), "Transverse Mercator");
        click(d, idFeet);
        EXPECT_TRUE(control<QRadioButton>(d, idFeet)->isChecked());
        typeInto(d, idFalseEast, "1000");
        click(d, idOk);
    });
    ASSERT_EQ(tm.editDialog(nullptr, nullptr), 1);
    EXPECT_EQ(tm.units, 1);
    EXPECT_DOUBLE_EQ(tm.falseEast, 1000 * 0.3048);

    // Escape after the same edits leaves the projection as it was.
    whenShown([](QDialog& d) {
        typeInto(d, idFalseEast, "1");
        QTest::keyClick(control(d, idFalseEast), Qt::Key_Escape);
    });
    EXPECT_EQ(tm.editDialog(nullptr, nullptr), 0);
    EXPECT_EQ(tm.units, 1);
    EXPECT_DOUBLE_EQ(tm.falseEast, 1000 * 0.3048);
}

// A name in another code page than UTF-8 ("Z\xfcrich" in Latin-1), shown and left
// alone, comes back byte for byte.
TEST_F(QtForms, UntouchedFieldsKeepBytesThatAreNotUtf8) {
    TransverseMercator tm;
    gw::copyBounded(tm.projName, "Z\xfcrich grid", sizeof tm.projName);
    whenShown([](QDialog& d) { click(d, idOk); });
    ASSERT_EQ(tm.editDialog(nullptr, nullptr), 1);
    EXPECT_STREQ(tm.projName, "Z\xfcrich grid");
}

TEST_F(QtForms, DatumTypedIntoItsFormReachesTheDatum) {
    Datum datum;
    EditDatum form(nullptr);
    form.fill(datum);
    whenShown([](QDialog& d) {
        EXPECT_EQ(d.objectName(), "dialog7012");
        typeInto(d, 7152, "Local fit");
        typeInto(d, 7177, "-87.5");
        QTest::keyClick(control(d, 7177), Qt::Key_Return); // Enter is OK
    });
    ASSERT_EQ(form.doModal(), idOk);
    form.apply(datum);
    EXPECT_STREQ(datum.datumName, "Local fit");
    EXPECT_DOUBLE_EQ(datum.deltaX, -87.5);
}

} // namespace
} // namespace gw::dlg
