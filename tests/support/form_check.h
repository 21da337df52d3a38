// Checks a built window against its form table: every control of the table
// is there, by name, in its container, at its place, with its text, font,
// alignment, colours and tooltip. The places come from the table, never
// from the test.
#pragma once

#include <QAbstractButton>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include "forms/form.h"
#include "forms/windows.h"
#include "look/form_widgets.h"

namespace trevalon::testsupport {

inline QColor RgbOf(const forms::Colour& colour) {
    return QColor(colour.red, colour.green, colour.blue);
}

// Why the controls under `client` differ from `form`, one line per fault.
// `offset` is where the client area's twips start, in pixels.
inline QStringList FormFaults(QWidget& client, const forms::Form& form, QPoint offset = {}) {
    QStringList faults;
    const auto fault = [&](const forms::Control& control, const QString& what) {
        faults << look::ObjectName(control) + QStringLiteral(": ") + what;
    };
    for (const forms::Control& control : form.controls) {
        const QString name = look::ObjectName(control);
        if (control.kind == forms::Kind::Timer) {
            auto* timer = client.findChild<QTimer*>(name);
            if (timer == nullptr || timer->interval() != control.milliseconds)
                fault(control, QStringLiteral("no timer of that interval"));
            continue;
        }
        if (control.kind == forms::Kind::Transfer) continue;  // no widget
        auto* widget = client.findChild<QWidget*>(name);
        if (widget == nullptr) {
            fault(control, QStringLiteral("missing"));
            continue;
        }
        // A bar lives in the inside of its track, one pixel in from its border.
        QWidget* container = control.kind == forms::Kind::Bar ? widget->parentWidget()->parentWidget()
                                                              : widget->parentWidget();
        const QString expectedContainer =
            control.container.empty()
                ? client.objectName()
                : QString::fromStdString(forms::QualifiedName(
                      {.name = control.container, .index = control.containerIndex}));
        if (container == nullptr || container->objectName() != expectedContainer)
            fault(control, QStringLiteral("not in ") + expectedContainer);

        QRect expected = look::PixelRect(control.place);
        if (control.container.empty()) expected.translate(offset);
        QRect actual = widget->geometry();
        if (control.kind == forms::Kind::Bar) actual.translate(widget->parentWidget()->pos());
        if (control.kind == forms::Kind::Bar) expected.translate(1, 1);
        if (control.autoSize) {
            // Sized to its text: the whole text fits, with little to spare.
            auto* label = qobject_cast<QLabel*>(widget);
            const int text = label ? label->fontMetrics().horizontalAdvance(label->text()) : -1;
            if (actual.topLeft() != expected.topLeft() || actual.height() != expected.height() ||
                actual.width() < text || actual.width() > text + 8)
                fault(control, QStringLiteral("placed at %1,%2 %3x%4")
                                   .arg(actual.x()).arg(actual.y()).arg(actual.width()).arg(actual.height()));
        } else if (actual != expected) {
            fault(control, QStringLiteral("placed at %1,%2 %3x%4, not %5,%6 %7x%8")
                               .arg(actual.x()).arg(actual.y()).arg(actual.width()).arg(actual.height())
                               .arg(expected.x()).arg(expected.y()).arg(expected.width()).arg(expected.height()));
        }
        // The inside of a track is the track within its one-pixel border, and clips.
        if (control.kind == forms::Kind::Bar &&
            widget->parentWidget()->size() != container->size() - QSize(2, 2))
            fault(control, QStringLiteral("not inside its track's border"));
        if (!control.toolTip.empty() && widget->toolTip() != look::Text(control.toolTip))
            fault(control, QStringLiteral("tooltip ") + widget->toolTip());
        if (control.kind != forms::Kind::Frame && widget->isHidden() == control.visible)
            fault(control, QStringLiteral("visibility"));

        const QString shown = QString::fromStdString(forms::ShownText(control, look::BuildSite()));
        QString text;
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            text = label->text();
            const QFont font = look::FontOf(control.font);
            if (label->font().bold() != control.font.bold ||
                label->font().pixelSize() != font.pixelSize())
                fault(control, QStringLiteral("font"));
            if ((label->alignment() & Qt::AlignHorizontal_Mask) !=
                look::HorizontalAlignment(control.align))
                fault(control, QStringLiteral("alignment"));
            if (label->wordWrap() != control.wordWrap) fault(control, QStringLiteral("wrapping"));
        } else if (auto* box = qobject_cast<QGroupBox*>(widget)) {
            text = box->title();
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            text = button->text();
        } else {
            text = shown;  // a list, a picture, a rectangle: no text of its own
        }
        if (text != shown) fault(control, QStringLiteral("shows \"%1\"").arg(text));

        if (control.back.source == forms::Colour::Source::Rgb) {
            const QPalette::ColorRole role = control.kind == forms::Kind::TestButton
                                                 ? QPalette::Button
                                                 : QPalette::Window;
            if (widget->palette().color(role) != RgbOf(control.back) ||
                (role == QPalette::Window && !widget->autoFillBackground()))
                fault(control, QStringLiteral("colour ") + widget->palette().color(role).name());
        }
    }
    return faults;
}

}  // namespace trevalon::testsupport
