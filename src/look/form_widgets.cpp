#include "look/form_widgets.h"

#include <QPalette>
#include <QWidget>

#include "look/classic_font.h"
#include "look/twips.h"
#include "net/site_address.h"

namespace trevalon::look {

QRect PixelRect(const forms::Place& place) {
    return TwipsRect(place.left, place.top, place.width, place.height);
}

QSize ClientSize(const forms::Form& form) { return {Px(form.clientWidth), Px(form.clientHeight)}; }

QString Text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString ObjectName(const forms::Control& control) {
    return QString::fromStdString(forms::QualifiedName(control));
}

QFont FontOf(const forms::Font& font) { return ClassicUiFont(font.points, font.bold); }

Qt::Alignment HorizontalAlignment(forms::Align align) {
    switch (align) {
        case forms::Align::Centre: return Qt::AlignHCenter;
        case forms::Align::Right: return Qt::AlignRight;
        case forms::Align::Left: break;
    }
    return Qt::AlignLeft;
}

forms::Site BuildSite() {
    static const std::string base = net::SiteBaseUrl();
    static const std::string host = net::SiteHost();
    return {base, host};
}

QLabel* BuildLabel(QWidget* parent, const forms::Control& control, Qt::Alignment vertical,
                   QPoint offset) {
    auto* label = new QLabel(QString::fromStdString(forms::ShownText(control, BuildSite())), parent);
    label->setObjectName(ObjectName(control));
    label->setFont(FontOf(control.font));
    // Texts come from drive entries and tests as well: never read as markup.
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(control.wordWrap);
    label->setAlignment(HorizontalAlignment(control.align) |
                        (control.wordWrap ? Qt::AlignTop : vertical));
    QRect place = PixelRect(control.place);
    if (control.autoSize) {
        label->adjustSize();
        place.setWidth(label->width());
    }
    label->setGeometry(place.translated(offset));
    return label;
}

void ApplyClientArea(QWidget& window, const forms::Form& form) {
    window.setFixedSize(ClientSize(form));
    if (form.back.source != forms::Colour::Source::Rgb) return;
    window.setAutoFillBackground(true);
    QPalette back = window.palette();
    back.setColor(QPalette::Window, QColor(form.back.red, form.back.green, form.back.blue));
    window.setPalette(back);
}

}  // namespace trevalon::look
