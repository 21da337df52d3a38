// The new-version notice: the news of the latest version, beside the main window.
#pragma once

#include <QLabel>
#include <QPlainTextEdit>
#include <QPoint>
#include <QWidget>

#include "update/artwork.h"

namespace trevalon::update {

class frmNewRelease : public QWidget {
    Q_OBJECT
public:
    explicit frmNewRelease(QWidget* parent = nullptr);

    QLabel* pictHeaderBar;
    QPlainTextEdit* txtNewVersion;
    PictureButton* cmd1;

public slots:
    void cmd1_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QPoint dragStart_;
    bool dragging_ = false;
};

// The one notice window, created on first use.
frmNewRelease& LoadNewRelease();
// The notice window if it is loaded, else nullptr.
frmNewRelease* NewReleaseWindow();
// Closes and destroys the notice window if it is loaded.
void UnloadNewRelease();

}  // namespace trevalon::update
