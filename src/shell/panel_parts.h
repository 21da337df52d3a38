// The three test panels built from the main window's form table: each
// control of a panel becomes the widget its kind calls for, at its place.
#pragma once

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <memory>
#include <span>
#include <vector>

#include "forms/form.h"
#include "forms/windows.h"
#include "shell/drive_list.h"
#include "shell/panel_view.h"

namespace trevalon::shell {

// A panel frame, captioned in its top edge.
QGroupBox* AddPanel(QWidget* client, const forms::Control& frame);

struct PanelSlots {
    QLabel* status = nullptr;
    QPushButton* button = nullptr;
    std::vector<DriveList*> lists;  // in creation order
    std::vector<QLabel*> results;   // by index
    std::vector<QFrame*> tracks;
    std::vector<QFrame*> bars;
};

// Every control the form puts in `panel` (named as its frame), in table
// order, so that the tab order follows the table; bars go inside their tracks.
PanelSlots BuildPanel(QWidget* panel, const forms::Form& form, const forms::PanelNames& names,
                      const DriveEntries& drives);

// Hands what BuildPanel built to a window's fixed-size arrays (`lists` may
// be empty where the drive list stands apart) and makes the panel's view.
std::unique_ptr<PanelView> TakeSlots(const PanelSlots& built, std::span<DriveList*> lists,
                                     std::span<QLabel*> results, std::span<QFrame*> tracks,
                                     std::span<QFrame*> bars, const RunState& state,
                                     QWidget* owner);

}  // namespace trevalon::shell
