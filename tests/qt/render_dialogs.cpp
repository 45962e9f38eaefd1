// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// gw_render_dialogs OUT-DIR SETTINGS-FILE
//
// Renders each of the library's ten dialogs, filled from the settings file (the
// Geodetics, datum, Transverse Mercator and data-units forms from its sections
// "geodesy" and "units"; the other projections' forms with their defaults), to
// OUT-DIR/<id>-<name>.png (the projection list holds the sample's zone and its
// neighbours): the window as the Qt backend builds it under a drawn
// title bar with its caption. Works on a copy of the settings file in a scratch
// folder. Run under a Qt platform that can draw without a screen (offscreen).
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QPainter>
#include <QPixmap>
#include <QTimer>

#include "dialogs/EditDatum.h"
#include "dialogs/Install.h"
#include "dialogs/ProjectionList.h"
#include "dialogs/SaveAsDlg.h"
#include "dialogs/qt/QtBackend.h"
#include "geodesy/Datum.h"
#include "gridwise/geodetics.h"
#include "gridwise/units.h"
#include "projections/KestrelLocal.h"
#include "projections/Lambert.h"
#include "projections/Local.h"
#include "projections/PolarStereo.h"
#include "projections/StaOff.h"
#include "projections/TransverseMercator.h"

namespace {

namespace fs = std::filesystem;

// The window with a title bar drawn above it (the offscreen platform draws no
// window frame).
QImage framed(QDialog& d) {
    const QPixmap client = d.grab();
    QFont titleFont = d.font();
    titleFont.setBold(true);
    const int title = QFontMetrics(titleFont).height() + 10;
    QPixmap out(client.width() + 2, client.height() + title + 1);
    out.fill(QColor(0x50, 0x50, 0x50));
    QPainter p(&out);
    p.fillRect(1, 1, client.width(), title - 1, QColor(0x2f, 0x4f, 0x7f));
    p.setPen(Qt::white);
    p.setFont(titleFont);
    p.drawText(QRect(9, 1, client.width() - 9, title - 1), Qt::AlignVCenter | Qt::AlignLeft, d.windowTitle());
    p.drawPixmap(1, title, client);
    p.end();
    return out.toImage();
}

// Saves the first dialog shown during a run, then cancels it.
class Camera : public QObject {
public:
    std::string file;
    bool saved = false;
    bool failed = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* d = qobject_cast<QDialog*>(watched);
        if (event->type() == QEvent::Show && d != nullptr && !file.empty() && !saved) {
            saved = true;
            QTimer::singleShot(0, d, [this, d] {
                if (!framed(*d).save(QString::fromStdString(file))) failed = true;
                d->reject();
            });
        }
        return false;
    }
};

struct Job {
    int id;
    const char* name;
    std::function<void()> open;
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s OUT-DIR SETTINGS-FILE\n", argv[0]);
        return 2;
    }
    const fs::path outDir = fs::absolute(argv[1]);
    const fs::path scratch = fs::temp_directory_path() / ("gw-render-" + std::to_string(getpid()));
    std::error_code ec;
    fs::create_directories(scratch, ec);
    fs::create_directories(outDir, ec);
    const fs::path settings = scratch / "settings.ini";
    if (!fs::copy_file(argv[2], settings, fs::copy_options::overwrite_existing, ec)) {
        std::fprintf(stderr, "cannot copy %s\n", argv[2]);
        return 1;
    }
    setenv("GRIDWISE_SETTINGS_DIR", scratch.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);

    // The projection list of the Geodetics form: the sample's UTM zone and the
    // zones beside it.
    {
        char geodesy[] = "geodesy";
        std::string file = settings.string();
        Datum datum;
        datum.loadData(geodesy, file.data());
        TransverseMercator tm;
        tm.loadData(geodesy, file.data());
        for (int zone = 30; zone <= 32; ++zone) {
            const std::string specific = "Zone " + std::to_string(zone) + "N";
            std::snprintf(tm.projName, sizeof tm.projName, "UTM %s", specific.c_str());
            tm.originLon = zone * 6.0 - 183.0;
            char init[GW_INIT_STR_MAX];
            tm.getInitStr(init);
            gw::dlg::appendProjectionEntry(gw::dlg::projectionEntryLine("UTM", specific.c_str(), datum, init));
        }
    }

    QApplication app(argc, argv);
    gw::dlg::setDialogBackend(gridwiseQtBackend());
    gw::dlg::installDialogs();

    std::string file = settings.string();
    char geodesy[] = "geodesy";
    auto path = [&file] { return file.data(); };
    const std::vector<Job> jobs = {
        {7010, "save-as", [] { gw::dlg::CSaveAsDlg(nullptr).doModal(); }},
        {7011, "geodetics",
         [&] {
             allocGeodetics();
             loadGeoData(geodesy, path());
             editDialog(nullptr);
             deAllocGeodetics();
         }},
        {7012, "datum",
         [&] {
             Datum datum;
             datum.loadData(geodesy, path());
             gw::dlg::EditDatum form(nullptr);
             form.fill(datum);
             form.doModal();
         }},
        {7013, "transverse-mercator",
         [&] {
             TransverseMercator tm;
             tm.loadData(geodesy, path());
             tm.editDialog(nullptr, nullptr);
         }},
        {7014, "lambert", [] { Lambert().editDialog(nullptr, nullptr); }},
        {7015, "polar-stereographic", [] { PolarStereo().editDialog(nullptr, nullptr); }},
        {7016, "data-units",
         [&] {
             allocUnits(path());
             loadUnits(path());
             dataUnitsDialog(nullptr);
             deAllocUnits(nullptr);
         }},
        {7017, "kestrel-local", [] { KestrelLocal().editDialog(nullptr, nullptr); }},
        {7018, "local", [] { Local().editDialog(nullptr, nullptr); }},
        {7019, "station-offset", [] { StaOff().editDialog(nullptr, nullptr); }},
    };

    Camera camera;
    app.installEventFilter(&camera);
    int status = 0;
    for (const Job& job : jobs) {
        camera.file = (outDir / (std::to_string(job.id) + "-" + job.name + ".png")).string();
        camera.saved = false;
        camera.failed = false;
        job.open();
        if (!camera.saved || camera.failed) {
            std::fprintf(stderr, "dialog %d was not rendered\n", job.id);
            status = 1;
        } else {
            std::printf("%s\n", camera.file.c_str());
        }
    }
    app.removeEventFilter(&camera);
    fs::remove_all(scratch, ec);
    return status;
}
