// Painting the main window: the face from the images of the language folder, in the order the
// window has always drawn it, with the texts of the interface language on top.

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QStaticText>
#include <QTimer>

#include <span>
#include <utility>

#include "app/main_window/firmware_offer.h"
#include "app/main_window/lighting_panel.h"
#include "app/main_window/main_window.h"
#include "app/main_window/performance_panel.h"
#include "keys/key_layout.h"
#include "ui/bit_slider.h"
#include "ui/font_warmup.h"
#include "ui/image_cache.h"
#include "ui/key_cap.h"
#include "ui/panel_painter.h"
#include "ui/text.h"

namespace tessaron::app {

namespace img = device::image;

namespace {

constexpr int kWarmupDelayMs = 300;
constexpr int kTextHeight = CTessaronDlg::kLabelHeight;
constexpr int kSmallTextHeight = 11;
constexpr int kNoticeTextHeight = 14;
// "kb_BK.png"'s size: the part of the window the keyboard picture covers.
constexpr int kKeyboardPictureWidth = 660;
constexpr int kKeyboardPictureHeight = 280;
const QColor kRowHovered(80, 0, 0);

// A label shrunk to fit its area names its height.
int labelHeight(const WindowArea& a) { return a.labelHeight > 0 ? a.labelHeight : kTextHeight; }
const QColor kRowNormal(59, 59, 59);

QString fromUtf8(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

using ui::findArea;

}  // namespace

void CTessaronDlg::paintEvent(QPaintEvent* /*event*/) {
    // Painting has always normalised these two; do it before the state is taken.
    live_.marks[keys::kLeftWinKey] = 0;
    if (!sections_.light) lighting::clampOption(live_.image);

    QPainter p(this);
    FaceState state = faceState();
    // A start shows the face kept by an earlier one until anything changes.
    if (!face_.isNull() && faceState_ && *faceState_ == state) {
        p.drawImage(QPoint(0, 0), face_);
    } else {
        const bool first = !faceState_;
        face_ = QImage();
        faceState_ = std::move(state);
        if (prefetch_.valid()) prefetch_.get();  // the images are decoded once, there
        if (first && !keptFacePath().isEmpty()) {
            // Composed aside once, so that the next start can show it at once. The face is
            // painted on the static layer's own pixels: no second window-sized image on the way
            // to the first paint. Like a kept face, it is shown until anything changes; the
            // layer is composed again then.
            (void)staticLayer();
            QImage face = std::exchange(staticLayer_, QImage());
            {
                QPainter composer(&face);
                paintFace(composer, true);
            }
            p.drawImage(QPoint(0, 0), face);
            keepFace(face);
            face_ = std::move(face);
        } else {
            paintFace(p);
        }
    }
    // The keyboard's focus mark, over the face (never kept with it).
    if (const QRect mark = keyboard_.markRect(); !mark.isEmpty()) ui::drawFocusMark(p, mark);
    // A start that showed a kept face loads images and fonts a little after the window is up,
    // before the first hover needs them, without delaying what comes right after the paint.
    if (!warmupStarted_ && !warmupScheduled_) {
        warmupScheduled_ = true;
        QTimer::singleShot(kWarmupDelayMs, this, &CTessaronDlg::startWarmup);
    }
}

const QImage& CTessaronDlg::staticLayer() {
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (staticLayer_.size() == pixels && staticLayerFolder_ == imageFolder_) return staticLayer_;
    staticLayer_ = QImage();  // not beside a new one
    if (layerPrefetch_.valid()) {
        QImage prefetched = layerPrefetch_.get();
        if (prefetched.size() == pixels && layerPrefetchFolder_ == imageFolder_) {
            staticLayer_ = std::move(prefetched);
        }
    }
    if (staticLayer_.isNull()) staticLayer_ = composeStaticLayer(imageFolder_, size(), ratio);
    staticLayerFolder_ = imageFolder_;
    return staticLayer_;
}

QImage CTessaronDlg::composeStaticLayer(const QString& folder, QSize size, qreal ratio) {
    QImage layer = layerBackground(folder, size, ratio);
    QPainter p(&layer);
    for (const LayerImage& image : std::span(kStaticLayerImages).subspan(1)) {
        const QImage img =
            ui::ImageCache::instance().read(folder + QString::fromLatin1(image.name));
        if (!img.isNull()) p.drawImage(image.at, img);
    }
    return layer;
}

QImage CTessaronDlg::layerBackground(const QString& folder, QSize size, qreal ratio) {
    const QSize pixels = (QSizeF(size) * ratio).toSize();
    const LayerImage& background = kStaticLayerImages.front();
    QImage decoded = ui::ImageCache::instance().read(folder + QString::fromLatin1(background.name));
    if (background.at.isNull() && decoded.size() == pixels &&
        decoded.format() == QImage::Format_RGB32) {
        decoded.setDevicePixelRatio(ratio);
        return decoded;
    }
    QImage layer(pixels, QImage::Format_RGB32);
    layer.setDevicePixelRatio(ratio);
    layer.fill(QColor(0x10, 0x12, 0x16));  // shows where the background image is missing
    if (!decoded.isNull()) {
        QPainter p(&layer);
        p.drawImage(background.at, decoded);
    }
    return layer;
}

void CTessaronDlg::warmFonts(Language language) {
    ui::awaitFontConfig();
    QImage scratch(64, 32, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&scratch);
    const QString sample = ui::text(language, TR_TEXT("MainWindow", "Profile 1ms"));
    for (const int height : {kTextHeight, kSmallTextHeight}) {
        p.setFont(ui::panelFont(height));
        p.drawText(QPoint(0, 20), sample);
    }
}

CTessaronDlg::FaceState CTessaronDlg::faceState() const {
    FaceState s;
    s.image = live_.image;
    s.marks = live_.marks;
    s.sections = sections_;
    const std::array<const ui::CBitSlider*, 3> sliders{speed_, brightness_, reportRate_};
    for (std::size_t i = 0; i < sliders.size(); ++i) {
        const ui::CBitSlider* slider = sliders[i];
        s.sliders[i] = {slider->isVisible() ? 1 : 0, slider->x(), slider->y(), slider->thumbX(),
                        slider->thumbY()};
    }
    s.hoveredKey = hoveredKey_;
    s.size = size();
    s.hoveredArea = hoveredArea_;
    s.hoveredRow = hoveredRow_;
    s.language = live_.language;
    s.diyMode = live_.diyMode;
    s.effectListOpen = effectListOpen_;
    s.responseListOpen = responseListOpen_;
    s.helpMenuOpen = helpMenuOpen_;
    s.unplugged = unplugged_;
    s.notice = historyNotice_;
    return s;
}

void CTessaronDlg::paintFace(QPainter& p, bool layerDrawn) {
    if (!layerDrawn) p.drawImage(QPoint(0, 0), staticLayer());
    const std::vector<WindowArea> areas = areaTable(false);
    for (const int id : {area::kHelp, area::kHide, area::kClose}) {
        if (const WindowArea* a = findArea(areas, id)) paintArea(p, *a);
    }
    paintKeyboard(p);
    paintBottom(p, areas);
    const SectionLayout l = layout();
    // An open list covers the panel under it; a text it would only partly cover is not drawn,
    // so no sliver of it shows beside the list.
    if (effectListOpen_) {
        listCover_ = QRect(QPoint(lists::kLeft, lists::kEffectTop),
                           QPoint(lists::kRight, lists::kEffectBottom));
    } else if (responseListOpen_) {
        listCover_ = QRect(lists::kResponseLeft, l.responseListTop,
                           lists::kResponseRight - lists::kResponseLeft + 1,
                           performance::kResponseRows * lists::kRowHeight);
    } else {
        listCover_ = QRect();
    }
    paintLightSection(p, areas);
    paintPerformance(p, l, areas);
    listCover_ = QRect();
    paintLists(p, areas);
}

void CTessaronDlg::paintArea(QPainter& p, const WindowArea& a) {
    if (a.picture != nullptr) {
        const char* picture =
            hoveredArea_ == a.id && a.hoverPicture != nullptr ? a.hoverPicture : a.picture;
        ui::drawPanelImage(p, imageFolder_, QString::fromLatin1(picture), a.pictureAt.x(),
                           a.pictureAt.y());
    }
    if (a.labelled) drawText(p, a.paintedLabel(), a.labelAt.x(), a.labelAt.y(), labelHeight(a));
}

void CTessaronDlg::paintKeyboard(QPainter& p) {
    const auto origin = keys::kKeyboardOrigin;  // the picture itself is in the static layer
    // The highlighted picture is decoded on the first highlight, not at start-up.
    QImage lit;
    const auto litPicture = [&]() -> const QImage& {
        if (lit.isNull())
            lit = ui::ImageCache::instance().image(imageFolder_ + QStringLiteral("kb_hl.png"));
        return lit;
    };
    const auto keyRect = [&](keys::KeyIndex k) {
        const keys::KeyRect r = keys::keyRect(k);
        return QRect(r.left + origin.x, r.top + origin.y, r.right - r.left, r.bottom - r.top);
    };
    const auto highlight = [&](keys::KeyIndex k) {
        if (keys::keyRect(k).empty() || litPicture().isNull()) return;
        const QRect r = keyRect(k);
        // The source rectangle counts the picture's own pixels (twice as many in an @2x image).
        const qreal density = litPicture().devicePixelRatio();
        const QRectF source(QRectF(r.translated(-origin.x, -origin.y)).topLeft() * density,
                            QSizeF(r.size()) * density);
        p.drawImage(QRectF(r), litPicture(), source);
    };
    // The left Windows key is never shown as modified (its bit is Win Lock's): paintEvent clears
    // its mark.
    for (std::size_t k = 0; k < keys::kLayoutKeyCount; ++k) {
        if (live_.marks[k] != 0) highlight(static_cast<keys::KeyIndex>(k));
    }
    if (live_.diyMode) {
        // Each lit key is the picture's key drawn again in its light, legend and all.
        for (std::size_t k = 0; k < keys::kRealKeyCount; ++k) {
            const auto key = static_cast<keys::KeyIndex>(k);
            const auto colour = lighting::diyLightColour(live_.image, key);
            if (!colour || keys::keyRect(key).empty()) continue;
            ui::drawKeyCap(p, QRectF(keyRect(key)), fromUtf8(keys::legend(key)),
                           ui::litKeyCap(QColor::fromRgb(static_cast<QRgb>(*colour))));
        }
    }
    QRect keysArea;
    for (std::size_t k = 0; k < keys::kRealKeyCount; ++k) {
        const auto key = static_cast<keys::KeyIndex>(k);
        if (!keys::keyRect(key).empty()) keysArea |= keyRect(key);
    }
    // One line of text in a dark band across the keys, centred on y.
    const auto band = [&](const QString& text, int y) {
        const QFont font = ui::panelFont(kNoticeTextHeight, 600);
        const QFontMetrics metrics(font);
        const QRect r(keysArea.left(), y - 16, keysArea.width(), 32);
        p.fillRect(r, QColor(0x10, 0x12, 0x16, 230));
        p.fillRect(QRect(r.left(), r.top(), 3, r.height()), QColor(0xe0, 0x25, 0x3a));
        const int x = r.left() + (r.width() - metrics.horizontalAdvance(text)) / 2;
        ui::drawPanelText(p, text, x, r.top() + (r.height() - metrics.height()) / 2, font,
                          Qt::white);
    };
    if (!historyNotice_.isEmpty()) band(historyNotice_, keysArea.bottom() - 16);
    if (unplugged_) {
        // The picture stays (its settings are kept and saved once the keyboard is back), dimmed,
        // with one line over its middle.
        const QRect picture(origin.x, origin.y, kKeyboardPictureWidth, kKeyboardPictureHeight);
        p.save();
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 160));
        p.drawRoundedRect(QRectF(keysArea.adjusted(-14, -14, 14, 14)), 10, 10);
        p.restore();
        band(ui::text(live_.language, TR_TEXT("MainWindow", "Keyboard not connected: plug it in to save your changes.")),
             picture.center().y());
        return;  // no hover on a keyboard that is not there
    }
    if (hoveredKey_) {
        highlight(*hoveredKey_);
        const keys::KeyRect r = keys::keyRect(*hoveredKey_);
        p.setPen(QPen(Qt::white, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRect(r.left + origin.x - 2, r.top + origin.y - 2, r.right - r.left + 3,
                         r.bottom - r.top + 3));
    }
}

void CTessaronDlg::paintBottom(QPainter& p, const std::vector<WindowArea>& areas) {
    constexpr int kBottom[] = {area::kProfile, area::kReturn, area::kCancel, area::kSave};
    // The pictures first, then the labels over them.
    for (const int id : kBottom) {
        if (const WindowArea* a = findArea(areas, id); a != nullptr && a->picture != nullptr) {
            WindowArea picture = *a;
            picture.labelled = false;
            paintArea(p, picture);
        }
    }
    for (const int id : kBottom) {
        if (const WindowArea* a = findArea(areas, id); a != nullptr && a->labelled) {
            drawText(p, a->paintedLabel(), a->labelAt.x(), a->labelAt.y(), labelHeight(*a));
        }
    }
}

void CTessaronDlg::paintLightSection(QPainter& p, const std::vector<WindowArea>& areas) {
    const auto image = [&](const QString& name, int x, int y) {
        ui::drawPanelImage(p, imageFolder_, name, x, y);
    };
    const auto text = [&](const QString& s, int x, int y, int h = kTextHeight) {
        drawText(p, s, x, y, h);
    };
    const auto label = [&](int id) {
        if (const WindowArea* a = findArea(areas, id); a != nullptr && a->labelled) {
            drawText(p, a->paintedLabel(), a->labelAt.x(), a->labelAt.y(), labelHeight(*a));
        }
    };
    const auto& settings = live_.image;
    image(QStringLiteral("itemBK.png"), kPanelX, 114);
    label(area::kLightHeader);
    if (sections_.light) return;

    image(QStringLiteral("LEDEffect_open.png"), kPanelX, 130);
    label(area::kEffectField);
    image(QStringLiteral("Light_Item.png"), 28, 158);
    const std::uint8_t effect = settings[img::kEffect];
    const bool listOpen = effectListOpen_ || responseListOpen_;
    if (lighting::offersSpeed(effect)) {
        image(QStringLiteral("freq.png"), kPanelX, 245);
        if (!listOpen) {
            text(ui::text(live_.language, TR_TEXT("MainWindow", "Speed")), 28, 290);
            text(ui::text(live_.language, TR_TEXT("MainWindow", "Slow")), 28, 317,
                 kSmallTextHeight);
            text(ui::text(live_.language, TR_TEXT("MainWindow", "Fast")), 230, 317,
                 kSmallTextHeight);
            paintThumb(p, speed_, 0);
        }
    }
    text(ui::text(live_.language, TR_TEXT("MainWindow", "Brightness")), 28, 247);
    text(ui::text(live_.language, TR_TEXT("MainWindow", "Dark")), 28, 274, kSmallTextHeight);
    text(ui::text(live_.language, TR_TEXT("MainWindow", "Bright")), 230, 274, kSmallTextHeight);
    if (!listOpen) paintThumb(p, brightness_, 0);

    const auto directions = lighting::directionImages(effect, settings[img::kDirection]);
    const bool radios = lighting::isDiyEffect(effect);
    if (radios || directions[0])
        text(ui::text(live_.language, TR_TEXT("MainWindow", "Direction")), 29, 177);
    if (radios) {
        image(live_.diyMode ? QStringLiteral("Disable.png") : QStringLiteral("Enable.png"), 28,
              199);
        label(area::kKeymapRadio);
        image(live_.diyMode ? QStringLiteral("Enable.png") : QStringLiteral("Disable.png"), 130,
              199);
        label(area::kDiyRadio);
    } else {
        for (const auto& d : directions) {
            if (!d) continue;
            image(QStringLiteral("Direction-%1-%2.png")
                      .arg(QChar::fromLatin1(d->letter),
                           d->enabled ? QStringLiteral("Enable") : QStringLiteral("Disable")),
                  d->x, 197);
        }
    }
    text(QString::fromStdString(lighting::effectName(effect, live_.language)), 28, 158);
}

void CTessaronDlg::paintPerformance(QPainter& p, const SectionLayout& l,
                                    const std::vector<WindowArea>& areas) {
    const auto image = [&](const QString& name, int x, int y) {
        ui::drawPanelImage(p, imageFolder_, name, x, y);
    };
    const auto text = [&](const QString& s, int x, int y) { drawText(p, s, x, y, kTextHeight); };
    const auto label = [&](int id) {
        if (const WindowArea* a = findArea(areas, id); a != nullptr && a->labelled) {
            drawText(p, a->paintedLabel(), a->labelAt.x(), a->labelAt.y(), labelHeight(*a));
        }
    };
    const auto& settings = live_.image;
    const bool zh = live_.language == Language::Chinese;

    image(QStringLiteral("MacroManagementBK.png"), kPanelX, l.macroPanelTop);
    image(QStringLiteral("MacroButton3.png"), kPanelX, l.macroButtonTop);
    label(area::kMacroManagement);

    const int y2 = l.gameModeTop;
    if (sections_.gameMode) {
        image(QStringLiteral("gamemode_Close.png"), kPanelX, y2);
        text(ui::text(live_.language, TR_TEXT("MainWindow", "Game Mode")), kPanelX, y2);
        // The closed Chinese header has no room for it.
        if (!zh) text(ui::text(live_.language, TR_TEXT("MainWindow", "Win Lock")), 149, y2);
    } else {
        image(QStringLiteral("gamemode_open.png"), kPanelX, y2);
        text(ui::text(live_.language, TR_TEXT("MainWindow", "Game Mode")), kPanelX, y2);
        text(ui::text(live_.language, TR_TEXT("MainWindow", "Win Lock")), 149, y2);
        const auto radioPair = [&](bool on, int onX, int offX) {
            image(on ? QStringLiteral("Enable.png") : QStringLiteral("Disable.png"), onX, y2 + 33);
            image(on ? QStringLiteral("Disable.png") : QStringLiteral("Enable.png"), offX, y2 + 33);
            text(ui::text(live_.language, TR_TEXT("MainWindow", "ON")), onX + 17, y2 + 31);
            text(ui::text(live_.language, TR_TEXT("MainWindow", "OFF")), offX + 17, y2 + 31);
        };
        radioPair(settings[img::kGameMode] != 0, 34, 88);
        radioPair(settings[img::kWinLock] != 0, 164, 218);
    }

    const int y3 = l.responseTop;
    image(sections_.responseTime ? QStringLiteral("responsetime_close.png")
                                 : QStringLiteral("responsetime_open.png"),
          kPanelX, y3);
    label(area::kResponseHeader);
    if (!sections_.responseTime) {
        image(QStringLiteral("Light_Item.png"), 28, y3 + 28);
        if (const WindowArea* field = findArea(areas, area::kResponseField)) {
            text(field->value, 100, y3 + 28);
        }
    }

    const int y4 = l.reportRateTop;
    image(sections_.reportRate ? QStringLiteral("reportrate_Close.png")
                               : QStringLiteral("reportrate_Open.png"),
          kPanelX, y4);
    label(area::kRateHeader);
    if (!sections_.reportRate) {
        paintThumb(p, reportRate_, reportRate_->value() == 0 ? 2 : 0);
    }
}

void CTessaronDlg::paintLists(QPainter& p, const std::vector<WindowArea>& areas) {
    for (const WindowArea& a : areas) {
        if (a.id == area::kHelpMenu) {
            paintArea(p, a);  // the menu's picture
        } else if (a.parent == area::kEffectList || a.parent == area::kResponseList) {
            // The row ids follow their list's.
            const int row = a.id - a.parent - 1;
            p.fillRect(a.rect, row == hoveredRow_ ? kRowHovered : kRowNormal);
            paintArea(p, a);
        } else if (a.parent == area::kHelpMenu) {
            paintArea(p, a);
        }
    }
}

void CTessaronDlg::drawText(QPainter& p, const QString& s, int x, int y, int pixelHeight) {
    // The panel font of each height is made once, and each text laid out once: shaping is most
    // of what a text costs. The pen stays white for every text.
    auto it = fonts_.find(pixelHeight);
    if (it == fonts_.end()) it = fonts_.emplace(pixelHeight, ui::panelFont(pixelHeight)).first;
    auto text = texts_.find({pixelHeight, s});
    if (text == texts_.end()) {
        QStaticText laidOut(s);
        laidOut.setTextFormat(Qt::PlainText);
        laidOut.setPerformanceHint(QStaticText::AggressiveCaching);
        laidOut.prepare(QTransform(), it->second);
        text = texts_.emplace(std::pair{pixelHeight, s}, std::move(laidOut)).first;
    }
    if (!listCover_.isNull() &&
        listCover_.intersects(QRect(QPoint(x, y), text->second.size().toSize()))) {
        return;
    }
    p.setFont(it->second);
    p.setPen(Qt::white);
    p.drawStaticText(QPoint(x, y), text->second);
}

void CTessaronDlg::paintThumb(QPainter& p, const ui::CBitSlider* s, int extraX) {
    if (s == nullptr || !s->isVisible()) return;
    // The slider draws nothing itself; its thumb window would sit at thumbX + 10.
    const int x = s->x() + s->thumbX() + 10 + extraX;
    const int y = s->y() + s->thumbY();
    ui::drawPanelImage(p, imageFolder_, QStringLiteral("Thumb.png"), x, y);
}

void CTessaronDlg::placeSliders() {
    const std::uint8_t effect = live_.image[img::kEffect];
    const bool lightOpen = !sections_.light;
    const bool listOpen = effectListOpen_ || responseListOpen_;
    brightness_->setVisible(lightOpen && !listOpen);
    speed_->setVisible(lightOpen && !listOpen && lighting::offersSpeed(effect));
    const int y4 = layout().reportRateTop;
    if (y4 != reportRateTop_) {
        reportRate_->move(28, y4 + 23);
        reportRateTop_ = y4;
    }
    reportRate_->setVisible(!sections_.reportRate);
    for (auto* s : {brightness_, speed_, reportRate_}) s->updateThumb();
    update();
}

}  // namespace tessaron::app
