// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "dialogs/NewGeod.h"

#include <cstring>
#include <new>

#include "dialogs/ControlIds.h"
#include "dialogs/EditDatum.h"
#include "dialogs/SaveAsDlg.h"
#include "platform/CLocale.h"
#include "platform/IniWriter.h"

namespace gw::dlg {

namespace {

constexpr int idGeneralList = idGeodeticsGeneralList;
constexpr int idSpecificList = idGeodeticsSpecificList;
constexpr int kProjectionLineIds[6] = {
    idGeodeticsProjectionLine1, idGeodeticsProjectionLine2, idGeodeticsProjectionLine3,
    idGeodeticsProjectionLine4, idGeodeticsProjectionLine5, idGeodeticsProjectionLine6,
};
constexpr int kDatumLineIds[7] = {
    idGeodeticsDatumName, idGeodeticsEllipsoidName, idGeodeticsInverseFlattening,
    idGeodeticsSemiMajorAxis, idGeodeticsShifts, idGeodeticsRotations, idGeodeticsScale,
};

} // namespace

NewGeod::NewGeod(void* parent) : Dialog(templateGeodetics, parent) {
    onSelChange(idGeneralList, [this] { generalChanged(); });
    onSelChange(idSpecificList, [this] { specificChanged(); });
    onClick(idGeodeticsEditProjection, [this] { editProjection(); });
    onClick(idGeodeticsEditDatum, [this] { editDatum(); });
    onClick(idGeodeticsSaveAs, [this] { saveAs(); });
}

NewGeod::~NewGeod() = default;

void NewGeod::setWorking(Projection* projection, Datum* datum) {
    projection_.reset(projection);
    datum_ = datum;
}

Projection* NewGeod::commit(Datum& record) {
    if (projection_ != nullptr) projection_->setTypeStr(general_, specific_);
    if (datum_ != nullptr && datum_ != &record)
        datum_->getData(record.ellipseName, record.aAxis, record.inverseFlattening, record.datumName, record.deltaX,
                        record.deltaY, record.deltaZ, record.scalar, record.rotX, record.rotY, record.rotZ);
    return projection_.release();
}

bool NewGeod::onInitDialog() {
    DialogWindow* w = window();
    if (w == nullptr) return false;
    general_[0] = specific_[0] = '\0';
    if (projection_ != nullptr) {
        // The names go through ample buffers and are cut to the form's fields.
        char general[256] = "", specific[256] = "";
        projection_->getTypeStr(general, specific);
        copyBounded(general_, general, sizeof general_);
        copyBounded(specific_, specific, sizeof specific_);
    }

    entries_ = readProjectionList();
    entryPointers_.fill(nullptr);
    for (std::size_t i = 0; i < entries_.size() && i < kMaxProjEntries; ++i) entryPointers_[i] = entries_[i].get();

    // Every distinct general name, in order of first appearance.
    w->resetList(idGeneralList);
    std::vector<std::string> names;
    for (const auto& entry : entries_) {
        bool known = false;
        for (const std::string& n : names) known = known || n == entry->general;
        if (known) continue;
        names.emplace_back(entry->general);
        w->addItem(idGeneralList, entry->general);
    }
    w->select(idGeneralList, 0);
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == general_) {
            w->select(idGeneralList, static_cast<int>(i));
            break;
        }

    fillSpecificList();
    refreshDescription();
    return true;
}

void NewGeod::fillSpecificList() {
    DialogWindow* w = window();
    if (w == nullptr) return;
    w->resetList(idSpecificList);
    for (const auto& entry : entries_)
        if (std::strcmp(entry->general, general_) == 0) w->addItem(idSpecificList, entry->specific);
    selectByPrefix(*w, idSpecificList, specific_);
}

void NewGeod::generalChanged() {
    DialogWindow* w = window();
    if (w == nullptr) return;
    copyBounded(general_, w->itemText(idGeneralList, w->selection(idGeneralList)).c_str(), sizeof general_);
    fillSpecificList();
    applyEntry();
}

void NewGeod::specificChanged() {
    DialogWindow* w = window();
    if (w == nullptr) return;
    copyBounded(specific_, w->itemText(idSpecificList, w->selection(idSpecificList)).c_str(), sizeof specific_);
    applyEntry();
}

void NewGeod::applyEntry() {
    for (const auto& entry : entries_) {
        if (std::strcmp(entry->general, general_) != 0 || std::strcmp(entry->specific, specific_) != 0) continue;
        const char* init = initStringOf(*entry);
        std::string initText = init != nullptr ? init : "";
        Projection* made = new (std::nothrow) Projection(init != nullptr ? initText.data() : nullptr);
        // A projection that could not be made whole leaves the working one in use.
        if (made == nullptr || made->inner == nullptr) {
            delete made;
            continue;
        }
        made->setTypeStr(general_, specific_);
        projection_.reset(made);
        if (datum_ != nullptr) {
            std::string params = entry->params;
            datum_->setData(params.data());
        }
    }
    refreshDescription();
}

void NewGeod::refreshDescription() {
    char projection[6][50] = {};
    char datum[7][50] = {};
    if (projection_ != nullptr) projection_->getLines(projection);
    if (datum_ != nullptr) datum_->getLines(datum);
    for (int i = 0; i < 6; ++i) {
        projection[i][49] = '\0';
        projectionLines_[static_cast<std::size_t>(i)] = projection[i];
    }
    for (int i = 0; i < 7; ++i) {
        datum[i][49] = '\0';
        datumLines_[static_cast<std::size_t>(i)] = datum[i];
    }
    updateData(false);
}

void NewGeod::doDataExchange(DataExchange& dx) {
    for (std::size_t i = 0; i < projectionLines_.size(); ++i) dx.text(kProjectionLineIds[i], projectionLines_[i]);
    for (std::size_t i = 0; i < datumLines_.size(); ++i) dx.text(kDatumLineIds[i], datumLines_[i]);
}

void NewGeod::editProjection() {
    if (projection_ == nullptr) return;
    projection_->editDialog(static_cast<CWnd*>(windowHandle()), entryPointers_.data());
    refreshDescription();
}

void NewGeod::editDatum() {
    if (datum_ == nullptr) return;
    EditDatum form(windowHandle());
    form.fill(*datum_);
    if (form.doModal() != idOk) return;
    form.apply(*datum_);
    refreshDescription();
}

void NewGeod::saveAs() {
    if (projection_ == nullptr || datum_ == nullptr) return;
    CSaveAsDlg form(nullptr);
    if (form.doModal() != idOk) return;
    std::string init(GW_INIT_STR_MAX, '\0');
    projection_->getInitStr(init.data(), init.size());
    init.resize(std::strlen(init.c_str()));
    if (!appendProjectionEntry(projectionEntryLine(general_, form.name().c_str(), *datum_, init.c_str()))) {
        const std::string reason = ini::lastWriteFailure();
        if (DialogWindow* w = window())
            w->messageBox("Save As", "The projection \"" + form.name() + "\" was not added: the projection list " +
                                         std::string(kProjectionListFile) + " could not be written" +
                                         (reason.empty() ? std::string(".") : " (" + reason + ")."));
    }
}

} // namespace gw::dlg
