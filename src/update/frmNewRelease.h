// The new-version notice: the news of the latest version, beside the main window.
#pragma once

#include <QPlainTextEdit>
#include <QWidget>

#include "errors/artwork.h"

namespace trevalon::update {

class frmNewRelease : public QWidget {
    Q_OBJECT
public:
    explicit frmNewRelease(QWidget* parent = nullptr);

    errors::HeaderStrip* pictHeaderBar;  // a drag on it moves the window
    QPlainTextEdit* txtNewVersion;
    errors::PictureButton* cmd1;

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
