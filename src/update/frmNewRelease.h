// The new-version notice: the news of the latest version, beside the main window.
#pragma once

#include <QPlainTextEdit>
#include <QWidget>

#include "look/header_and_button.h"

namespace trevalon::update {

class frmNewRelease : public QWidget {
    Q_OBJECT
public:
    explicit frmNewRelease(QWidget* parent = nullptr);

    look::HeaderStrip* pictHeaderBar;  // a drag on it moves the window
    QPlainTextEdit* txtNewVersion;
    look::PictureButton* cmd1;

public slots:
    void cmd1_Click();

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The one notice window, created on first use.
frmNewRelease& LoadNewRelease();
// The notice window if it is loaded, else nullptr.
frmNewRelease* NewReleaseWindow();
// Closes and destroys the notice window if it is loaded.
void UnloadNewRelease();

}  // namespace trevalon::update
