#include "mainwindow/config/tfnewconfig.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <QWindow>

#include "mainwindow/config/configstyle.h"
#include "mainwindow/config/dialogprompts.h"
#include "mainwindow/config/pendingchoices.h"
#include "mainwindow/config/routingpictures.h"
#include "mainwindow/config/ttabsheet.h"
#include "snkins/quor/kitcolours.h"
#include "snkins/quor/kitpicture.h"
#include "snkins/quor/tquorbutton.h"
#include "snkins/quor/tquorpanel.h"
#include "snkins/quor/tquorswitch1.h"

namespace {

QPointer<Tfnewconfig> theDialog;

using P = ControllerPages;
using M = ConfigDialogModel;

// The kit's push-button glyph stretched to `width`, its rounded ends kept.
QImage widened(const QImage& glyph, int width) {
    if (glyph.isNull() || width <= glyph.width()) return glyph;
    const int end = 6, h = glyph.height();
    QImage out(width, h, glyph.format());
    out.fill(Qt::black);
    QPainter p(&out);
    p.drawImage(QRect(0, 0, end, h), glyph, QRect(0, 0, end, h));
    p.drawImage(QRect(end, 0, width - 2 * end, h), glyph, QRect(end, 0, glyph.width() - 2 * end, h));
    p.drawImage(QRect(width - end, 0, end, h), glyph, QRect(glyph.width() - end, 0, end, h));
    return out;
}

TQuorSwitch1* pushButton(QWidget* parent, const char* name, const QString& caption, const QRect& r,
                         const QColor& back) {
    auto* b = new TQuorSwitch1(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setCaption(caption);
    b->setGlyphOn(widened(kitPicture("bon3"), r.width() - 2));
    b->setGlyphOff(widened(kitPicture("boff3"), r.width() - 2));
    b->setTransparentColor(0, qRgb(0, 0, 0));
    b->setTransparentColor(1, qRgb(0, 0, 0));
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(12);
    f.setBold(true);
    b->setFont(f);
    setKitColours(b, back, ConfigStyle::text);
    b->setGeometry(r);
    return b;
}

QLabel* label(QWidget* parent, const QString& text, const QRect& r, const char* name = nullptr) {
    auto* l = new QLabel(text, parent);
    if (name) l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(r);
    return l;
}

QLabel* title(QWidget* parent, const QString& text) {
    QLabel* l = label(parent, text, QRect(20, 10, 600, 28), "title");
    return l;
}

QComboBox* combo(QWidget* parent, const char* name, const QRect& r, const QStringList& items = {}) {
    auto* c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->addItems(items);
    c->setGeometry(r);
    return c;
}

QGroupBox* group(QWidget* parent, const QString& caption, const QRect& r, const char* name = nullptr) {
    auto* g = new QGroupBox(caption, parent);
    if (name) g->setObjectName(QString::fromLatin1(name));
    g->setGeometry(r);
    return g;
}

// Draws the check box of a list entry in the dialog's colours: a light frame, and the lit blue
// with a check mark when checked.
class CheckDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyledItemDelegate::paint(p, option, index);
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        if (!(opt.features & QStyleOptionViewItem::HasCheckIndicator)) return;
        const QWidget* w = opt.widget;
        const QStyle* style = w ? w->style() : QApplication::style();
        const QRect r = style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &opt, w);
        const QRectF box = QRectF(r.center().x() - 6.5, r.center().y() - 6.5, 13, 13);
        p->save();
        p->setRenderHint(QPainter::Antialiasing);
        const bool on = opt.checkState == Qt::Checked;
        p->setPen(QPen(on ? ConfigStyle::lit : QColor(0x8A, 0x8A, 0x8A), 1));
        p->setBrush(on ? ConfigStyle::lit : QColor(0x1A, 0x1A, 0x1A));
        p->drawRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
        if (on) {
            p->setPen(QPen(QColor(0x11, 0x11, 0x11), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            const QPointF o = box.topLeft();
            p->drawPolyline(QPolygonF{o + QPointF(3, 6.8), o + QPointF(5.6, 9.4), o + QPointF(10.2, 3.8)});
        }
        p->restore();
    }
};

QTreeWidget* checkList(QWidget* parent, const char* name, const QString& header, const QRect& r) {
    auto* t = new QTreeWidget(parent);
    t->setObjectName(QString::fromLatin1(name));
    t->setColumnCount(1);
    t->setHeaderLabels({header});
    t->setRootIsDecorated(false);
    t->setAlternatingRowColors(true);
    t->setUniformRowHeights(true);
    t->header()->setStretchLastSection(true);
    t->setItemDelegate(new CheckDelegate(t));
    t->setGeometry(r);
    return t;
}

void syncCombo(QComboBox* c, const Selector& s) {
    const QSignalBlocker b(c);
    QStringList shown;
    for (int i = 0; i < c->count(); ++i)
        shown << c->itemText(i);
    if (shown != s.items) {
        c->clear();
        c->addItems(s.items);
    }
    c->setCurrentIndex(s.index);
    c->setVisible(s.visible);
}

void syncList(QTreeWidget* t, const CheckList& l) {
    const QSignalBlocker b(t);
    if (t->topLevelItemCount() != l.size()) {
        t->clear();
        for (int i = 0; i < l.size(); ++i) {
            auto* item = new QTreeWidgetItem(t, QStringList{l.items[i]});
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        }
    }
    for (int i = 0; i < l.size(); ++i) {
        QTreeWidgetItem* item = t->topLevelItem(i);
        item->setText(0, l.items[i]);
        item->setCheckState(0, l.isChecked(i) ? Qt::Checked : Qt::Unchecked);
    }
}

void syncCaption(QLabel* label, const Caption& c) {
    label->setText(c.text);
    label->setVisible(c.visible);
}

} // namespace

Tfnewconfig* Tfnewconfig::fnewconfig() {
    return theDialog.data();
}

Tfnewconfig::Tfnewconfig(QWidget* parent, ConfigDialogModel::Services services)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("fnewconfig"));
    setWindowTitle(QStringLiteral("Configuration"));
    setFixedSize(939, 660);
    setWindowModality(Qt::WindowModal);
    ConfigStyle::apply(this);
    if (!services.prompts) {
        ownPrompts_ = std::make_unique<DialogPrompts>(this);
        services.prompts = ownPrompts_.get();
    }
    if (!services.pending) services.pending = &PendingChoices::unit();
    model_ = std::make_unique<ConfigDialogModel>(services);
    theDialog = this;

    buildFrame();
    bindModel();
    connect(this, &QDialog::finished, this, &Tfnewconfig::finishedClose);
    model_->create();
}

Tfnewconfig::~Tfnewconfig() {
    if (theDialog == this) theDialog = nullptr;
}

// ---- building

void Tfnewconfig::buildFrame() {
    QuorPanel1 = new TQuorPanel(this);
    QuorPanel1->setObjectName(QStringLiteral("QuorPanel1"));
    QuorPanel1->setGeometry(rect());
    QuorPanel1->tbackcolor = ConfigStyle::window;
    QuorPanel1->setColor(ConfigStyle::window);
    QuorPanel1->setbordercolor(ConfigStyle::window);
    QuorPanel1->tcaptioncolor = ConfigStyle::window;
    QuorPanel1->tcaptionfcolor = Qt::black;
    QuorPanel1->ttitlecaption = QStringLiteral("Configuration");
    QuorPanel1->tpform = this;
    QuorPanel1->init();
    QuorPanel1->SetShowtitle(false);
    QuorPanel1->installEventFilter(this);

    JvPageControl1 = new QTabWidget(QuorPanel1);
    JvPageControl1->setObjectName(QStringLiteral("JvPageControl1"));
    JvPageControl1->setGeometry(10, 10, width() - 20, 612);
    JvPageControl1->setDocumentMode(false);
    JvPageControl1->installEventFilter(this);
    JvPageControl1->tabBar()->installEventFilter(this);
    static const char* const names[] = {"TabSheet1", "TabSheet8", "TabSheet6", "TabSheet2",
                                        "TabSheet3", "TabSheet5", "TabSheet7", "TabSheet4"};
    for (int p = 0; p < M::kPages; ++p) {
        auto* page = new TTabsheet;
        page->setObjectName(QString::fromLatin1(names[p]));
        if (M::pageShown(p)) page->SetColor(ConfigStyle::page);
        JvPageControl1->addTab(page, M::pageCaption(p));
        JvPageControl1->setTabVisible(p, M::pageShown(p));
        pages[size_t(p)] = page;
    }
    pages[M::TabSheet4]->setEnabled(false);
    JvPageControl1->setCurrentIndex(M::TabSheet1);

    buildAudio(pages[M::TabSheet1]);
    buildRecording(pages[M::TabSheet8]);
    buildAutomix(pages[M::TabSheet6]);
    buildSamples(pages[M::TabSheet2]);
    buildControllers(pages[M::TabSheet3], false);
    buildControllers(pages[M::TabSheet5], true);
    buildPerformance(pages[M::TabSheet7]);
    buildSkin(pages[M::TabSheet4]);

    JvHTButton2 = pushButton(QuorPanel1, "JvHTButton2", QStringLiteral("OK"), QRect(20, 628, 120, 24),
                             ConfigStyle::window);
    JvHTButton1 = pushButton(QuorPanel1, "JvHTButton1", QStringLiteral("CANCEL"),
                             QRect(width() - 140, 628, 120, 24), ConfigStyle::window);
}

void Tfnewconfig::buildAudio(QWidget* page) {
    title(page, QStringLiteral("A U D I O      S E T U P "));
    const QColor back = ConfigStyle::page;

    QGroupBox* driver = group(page, QStringLiteral("  DRIVER MODE"), QRect(20, 48, 410, 92));
    auto driverSwitch = [&](const char* name, int tag, int x) {
        auto* b = new TquorButton(driver);
        b->setObjectName(QString::fromLatin1(name));
        b->Tag = tag;
        b->Style = TquorButton::bsSwitch;
        b->setcaption(QStringLiteral("\u25CF"));
        b->setcaption_colorup(QColor(0x60, 0x60, 0x60));
        b->setcaption_colorover(ConfigStyle::secondary);
        b->setcaption_colordown(ConfigStyle::lit);
        b->move(x, 28);
        return b;
    };
    rdm1 = driverSwitch("rdm1", 1, 16);
    rdm2 = driverSwitch("rdm2", 2, 206);
    Label67 = label(driver, QStringLiteral("     JACK"), QRect(60, 40, 100, 24), "Label67");
    Label68 = label(driver, QStringLiteral("     ALSA"), QRect(250, 40, 100, 24), "Label68");
    for (QLabel* l : {Label67, Label68}) {
        l->setCursor(Qt::PointingHandCursor);
        l->setStyleSheet(QStringLiteral("font-weight: bold; font-size: 13px;"));
        l->installEventFilter(this);
    }

    workmode = group(page, QStringLiteral("  ALSA WORK MODE "), QRect(20, 152, 410, 410), "workmode");
    for (int i = 0; i < 6; ++i) {
        const int y = 30 + i * 62;
        auto* pic =
            label(workmode, QString(), QRect(14, y, RoutingPictures::kWidth, RoutingPictures::kHeight));
        pic->setPixmap(RoutingPictures::picture(i + 1));
        rw[size_t(i)] = new QRadioButton(AudioSetupPage::modeCaption(i + 1), workmode);
        rw[size_t(i)]->setObjectName(QStringLiteral("rw%1").arg(i + 1));
        rw[size_t(i)]->setGeometry(112, y + 10, 290, 24);
    }

    QGroupBox* devices = group(page, QStringLiteral("  DEVICES && CHANNELS"), QRect(446, 48, 448, 514));
    titledc = label(devices, QString(), QRect(16, 28, 410, 24), "titledc");
    lab1 = label(devices, QStringLiteral("Device:"), QRect(), "lab1");
    lab2 = label(devices, QStringLiteral("Channel"), QRect(), "lab2");
    lab3 = label(devices, QString(), QRect(), "lab3");
    lab4 = label(devices, QString(), QRect(), "lab4");
    lab5 = label(devices, QStringLiteral("Sampler:"), QRect(), "lab5");
    for (int k = 0; k < 3; ++k) {
        dev[size_t(k)] = combo(devices, "", QRect());
        dev[size_t(k)]->setObjectName(QStringLiteral("dev%1").arg(k + 1));
        cha[size_t(k)] = combo(devices, "", QRect());
        cha[size_t(k)]->setObjectName(QStringLiteral("cha%1").arg(k + 1));
    }
    auto* note = label(devices,
                       QStringLiteral("Changing the driver or refreshing the list stops the music;\n"
                                      "it plays on through the new output when the dialog closes."),
                       QRect(16, 410, 420, 36));
    note->setProperty("class", QStringLiteral("hint"));
    JvHTButton4 = pushButton(devices, "JvHTButton4", QStringLiteral("Refresh Audio Device List"),
                             QRect(16, 464, 230, 24), back);
    layoutAudioRows();
}

// the rows of the device group as the work mode places them
void Tfnewconfig::layoutAudioRows() {
    const int mode = model_ ? model_->audio.mode : 1;
    if (mode >= 5) {
        lab1->setGeometry(120, 66, 190, 20);
        lab2->setGeometry(318, 66, 110, 20);
        lab3->setGeometry(16, 94, 100, 26);
        lab4->setGeometry(16, 134, 100, 26);
        lab5->setGeometry(16, 174, 100, 26);
        for (int k = 0; k < 3; ++k) {
            dev[size_t(k)]->setGeometry(120, 94 + 40 * k, 190, 26);
            cha[size_t(k)]->setGeometry(318, 94 + 40 * k, 114, 26);
        }
    } else {
        lab1->setGeometry(16, 70, 100, 26);
        dev[0]->setGeometry(120, 70, 312, 26);
        lab3->setGeometry(16, 120, 100, 26);
        lab4->setGeometry(16, 160, 100, 26);
        lab5->setGeometry(16, 200, 100, 26);
        dev[1]->setGeometry(120, 250, 240, 26);
        dev[2]->setGeometry(120, 290, 240, 26);
        for (int k = 0; k < 3; ++k)
            cha[size_t(k)]->setGeometry(120, 120 + 40 * k, 240, 26);
    }
}

void Tfnewconfig::buildAutomix(QWidget* page) {
    title(page, QStringLiteral("A U T O M I X  /  B R A K E"));
    QGroupBox* am = group(page, QStringLiteral("A U T O M I X"), QRect(20, 48, 430, 120));
    label(am, QStringLiteral("Down volume when remain  (seconds) "), QRect(16, 34, 280, 24));
    auto1 = new QLineEdit(am);
    auto1->setObjectName(QStringLiteral("auto1"));
    auto1->setGeometry(310, 32, 90, 26);
    label(am, QStringLiteral("Launch song when remain (seconds)"), QRect(16, 74, 280, 24));
    auto2 = new QLineEdit(am);
    auto2->setObjectName(QStringLiteral("auto2"));
    auto2->setGeometry(310, 72, 90, 26);

    QGroupBox* br = group(page, QStringLiteral("B R A K E"), QRect(466, 48, 428, 120));
    label(br, QStringLiteral("Brake Duration   (seconds) "), QRect(16, 34, 220, 24));
    cbrake = combo(br, "cbrake", QRect(250, 32, 90, 26));
    label(br, QStringLiteral("Pitch +/-"), QRect(16, 74, 220, 24));
    bend = combo(br, "bend", QRect(250, 72, 90, 26));
    label(br, QStringLiteral("%"), QRect(348, 74, 20, 24));

    // rows that are never shown: their values are still filled and read
    QGroupBox* kl = group(page, QStringLiteral("U S E    K E Y L O C K"), QRect(20, 184, 430, 80));
    label(kl, QStringLiteral("Use KeyLock"), QRect(16, 34, 200, 24));
    keylockonoff = combo(kl, "keylockonoff", QRect(250, 32, 90, 26));
    kl->hide();
    QGroupBox* kc = group(page, QStringLiteral("K I L L    C U T"), QRect(466, 184, 428, 80));
    label(kc, QStringLiteral("Kill Cut dB"), QRect(16, 34, 200, 24));
    cutedb = combo(kc, "cutedb", QRect(220, 32, 180, 26));
    kc->hide();
    auto* addPlayed =
        label(page, QStringLiteral("Enable Add played song to Playlist "), QRect(20, 280, 300, 24));
    addPlayed->hide();
}

void Tfnewconfig::buildSamples(QWidget* page) {
    title(page, QStringLiteral("S A M P L E S"));
    auto* hint =
        label(page, QStringLiteral("Click on the left button to load a new sample"), QRect(20, 44, 600, 24));
    hint->setProperty("class", QStringLiteral("hint"));
    for (int i = 0; i < 6; ++i) {
        const int y = 86 + i * 52;
        const QString row = QString::number(i + 1);
        label(page, QStringLiteral("Sample %1:").arg(i + 1), QRect(20, y, 90, 26));
        jb[size_t(i)] =
            pushButton(page, "", QStringLiteral("..."), QRect(112, y + 1, 44, 24), ConfigStyle::page);
        jb[size_t(i)]->setObjectName(QStringLiteral("jb%1").arg(i + 1));
        s[size_t(i)] = new QLineEdit(page);
        s[size_t(i)]->setObjectName(QStringLiteral("s%1").arg(i + 1));
        s[size_t(i)]->setGeometry(166, y, 610, 26);
        static const char* const deletes[] = {"JvHTButton3", "JvHTButton5", "JvHTButton6",
                                              "JvHTButton7", "JvHTButton8", "JvHTButton9"};
        del[size_t(i)] = pushButton(page, deletes[i], QStringLiteral("delete"), QRect(790, y + 1, 90, 24),
                                    ConfigStyle::page);
        // a row's three controls carry its number as their Hint
        for (QWidget* w : std::initializer_list<QWidget*>{jb[size_t(i)], s[size_t(i)], del[size_t(i)]})
            w->setProperty("Hint", row);
    }
}

void Tfnewconfig::buildControllers(QWidget* page, bool hid) {
    title(page, QStringLiteral("C O N T R O L L E R"));
    for (int n = 0; n < 2; ++n) {
        const QString caption =
            (hid ? QStringLiteral("HID PORT / MAP %1") : QStringLiteral("MIDI PORT / MAP %1")).arg(n + 1);
        QGroupBox* g = group(page, caption, QRect(20 + n * 446, 48, 428, 474));
        label(g, hid ? QStringLiteral("H.I.D. -CONTROLLERS") : QStringLiteral("MIDI-CONTROLLERS"),
              QRect(16, 26, 300, 22));
        label(g, hid ? QStringLiteral("H.I.D.-MAPS") : QStringLiteral("MIDI-MAPS"), QRect(16, 254, 300, 22));
        const P::List ports =
            hid ? (n == 0 ? P::ListView7 : P::ListView9) : (n == 0 ? P::listview1 : P::ListView4);
        const P::List maps =
            hid ? (n == 0 ? P::ListView6 : P::ListView8) : (n == 0 ? P::ListView3 : P::ListView5);
        static const char* const names[] = {"listview1", "ListView3", "ListView4", "ListView5",
                                            "ListView6", "ListView7", "ListView8", "ListView9"};
        lists[size_t(ports)] =
            checkList(g, names[ports], hid ? QStringLiteral("HID DEVICES") : QStringLiteral("MIDI DEVICES"),
                      QRect(16, 50, 396, 190));
        lists[size_t(maps)] =
            checkList(g, names[maps], hid ? QStringLiteral("HID MAPS") : QStringLiteral("MIDI MAPS"),
                      QRect(16, 278, 396, 180));
    }
    TQuorSwitch1* refresh = pushButton(page, hid ? "JvHTButton10" : "JvHTButton12",
                                       hid ? QStringLiteral("Refresh HID Device List")
                                           : QStringLiteral("Refresh MIDI Device List"),
                                       QRect(20, 536, 230, 24), ConfigStyle::page);
    (hid ? JvHTButton10 : JvHTButton12) = refresh;
}

void Tfnewconfig::buildPerformance(QWidget* page) {
    title(page, QStringLiteral("S Y S T E M    P E R F O R M A N C E"));
    QGroupBox* g = group(page, QStringLiteral("  SYSTEM PERFORMANCE"), QRect(20, 48, 874, 330));
    const struct {
        const char* name;
        const char* caption;
        const char* lines[3];
    } rows[] = {
        {"ph",
         "High Performance",
         {"High performance Machines. ", "Without Latency", "Full Graphics enabled."}},
        {"pm",
         "Medium Performance",
         {"Medium performance Machines or Netbooks", "Low Latency", "Medium Graphics enabled."}},
        {"pl", "Low Performance", {"Low performance Machines. ", "Medium Latency", "Low Graphics enabled."}},
    };
    QRadioButton* made[3];
    for (int i = 0; i < 3; ++i) {
        const int y = 34 + i * 96;
        made[i] = new QRadioButton(QString::fromLatin1(rows[i].caption), g);
        made[i]->setObjectName(QString::fromLatin1(rows[i].name));
        made[i]->setGeometry(20, y + 24, 220, 24);
        made[i]->setStyleSheet(QStringLiteral("font-weight: bold; font-size: 13px;"));
        for (int l = 0; l < 3; ++l) {
            QLabel* line = label(g, QString::fromLatin1(rows[i].lines[l]), QRect(280, y + l * 24, 560, 22));
            if (l > 0) line->setProperty("class", QStringLiteral("hint"));
        }
    }
    ph = made[0];
    pm = made[1];
    pl = made[2];
    label(page, QStringLiteral("Check for updates when program starts"), QRect(24, 400, 300, 26));
    updatescom = combo(page, "updatescom", QRect(330, 400, 90, 26));
}

void Tfnewconfig::buildRecording(QWidget* page) {
    title(page, QStringLiteral("R E C O R D I N G"));
    record_sel = combo(page, "record_sel", QRect(20, 60, 300, 26));
    ComboBox2 = combo(page, "ComboBox2", QRect(20, 100, 300, 26));
}

void Tfnewconfig::buildSkin(QWidget* page) {
    title(page, QStringLiteral("V I S U A L    S K I N "));
    ListView2 = checkList(page, "ListView2", QStringLiteral("AVAIBLE SKINS"), QRect(20, 60, 400, 300));
}

// ---- the model's handlers behind the widgets

void Tfnewconfig::bindModel() {
    ConfigDialogModel& m = *model_;
    connect(&m, &M::changed, this, &Tfnewconfig::showModel);
    connect(&m, &M::focusRequested, this, [this](const QString& name) {
        if (QWidget* w = findChild<QWidget*>(name)) w->setFocus(Qt::OtherFocusReason);
    });
    connect(&m, &M::busy, this, [](bool on) {
        if (on)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else if (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    });
    connect(&m, &M::closeRequested, this, [this](bool accepted) { done(accepted ? Accepted : Rejected); });

    // a handler of the model, then the model shown again
    auto after = [this](auto fn) {
        return [this, fn] {
            fn();
            showModel();
        };
    };
    auto afterIndex = [this](auto fn) {
        return [this, fn](int i) {
            fn(i);
            showModel();
        };
    };
    connect(JvHTButton2, &Tjvswitch2::clicked, this, [this] { model_->ok(); });
    connect(JvHTButton1, &Tjvswitch2::clicked, this, [this] { model_->cancel(); });
    connect(JvPageControl1, &QTabWidget::currentChanged, this, [this](int i) { model_->page = i; });

    // Audio Setup
    connect(rdm1, &TquorButton::clicked, this, after([&m] { m.audio.rdm1Click(); }));
    connect(rdm2, &TquorButton::clicked, this, after([&m] { m.audio.rdm2Click(); }));
    for (int i = 0; i < 6; ++i)
        connect(rw[size_t(i)], &QRadioButton::clicked, this, after([&m, i] { m.audio.rw1Click(i + 1); }));
    for (int k = 0; k < 3; ++k) {
        connect(dev[size_t(k)], &QComboBox::activated, this,
                afterIndex([&m, k](int i) { m.audio.chooseDevice(k, i); }));
        connect(cha[size_t(k)], &QComboBox::activated, this,
                afterIndex([&m, k](int i) { m.audio.chooseChannel(k, i); }));
    }
    connect(JvHTButton4, &Tjvswitch2::clicked, this, after([&m] { m.audio.JvHTButton4Click(); }));

    // AUtomix/Brake
    connect(auto1, &QLineEdit::textEdited, this, [&m](const QString& t) { m.settings.auto1 = t; });
    connect(auto2, &QLineEdit::textEdited, this, [&m](const QString& t) { m.settings.auto2 = t; });
    const std::pair<QComboBox*, Selector*> selectors[] = {{cbrake, &m.settings.cbrake},
                                                          {bend, &m.settings.bend},
                                                          {keylockonoff, &m.settings.keylockonoff},
                                                          {cutedb, &m.settings.cutedb},
                                                          {updatescom, &m.settings.updatescom},
                                                          {record_sel, &m.settings.record_sel},
                                                          {ComboBox2, &m.settings.ComboBox2}};
    for (const auto& [box, sel] : selectors) {
        Selector* target = sel;
        connect(box, &QComboBox::activated, this, [target](int i) { target->setIndex(i); });
    }

    // Samples
    for (int i = 0; i < 6; ++i) {
        connect(s[size_t(i)], &QLineEdit::textEdited, this,
                [&m, i](const QString& t) { m.settings.s[size_t(i)] = t; });
        connect(jb[size_t(i)], &Tjvswitch2::clicked, this, &Tfnewconfig::jb1Click);
        connect(del[size_t(i)], &Tjvswitch2::clicked, this, &Tfnewconfig::JvHTButton3Click);
    }

    // controllers
    for (int l = 0; l < P::kLists; ++l) {
        connect(lists[size_t(l)], &QTreeWidget::itemChanged, this, [this, l](QTreeWidgetItem* item, int) {
            QTreeWidget* t = lists[size_t(l)];
            model_->controllers.setCheck(P::List(l), t->indexOfTopLevelItem(item),
                                         item->checkState(0) == Qt::Checked);
            showModel();
        });
    }
    connect(ListView2, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int) {
        model_->settings.setSkinCheck(ListView2->indexOfTopLevelItem(item),
                                      item->checkState(0) == Qt::Checked);
        showModel();
    });
    connect(JvHTButton12, &Tjvswitch2::clicked, this, after([&m] { m.controllers.JvHTButton12Click(); }));
    connect(JvHTButton10, &Tjvswitch2::clicked, this, after([&m] { m.controllers.JvHTButton10Click(); }));

    // System Performance
    connect(ph, &QRadioButton::clicked, this, [&m] { m.settings.performance = 0; });
    connect(pm, &QRadioButton::clicked, this, [&m] { m.settings.performance = 1; });
    connect(pl, &QRadioButton::clicked, this, [&m] { m.settings.performance = 2; });
}

void Tfnewconfig::jb1Click() {
    const int row = sender()->property("Hint").toInt();
    if (!op2) {
        op2 = new QFileDialog(this, QString(), QString(),
                              QStringLiteral("All Media Format (*.wav *.mp3 *.ogg *.wma *.flac)"));
        op2->setObjectName(QStringLiteral("op2"));
        op2->setFileMode(QFileDialog::ExistingFile);
        op2->setDefaultSuffix(QStringLiteral("mp3"));
        op2->setWindowModality(Qt::WindowModal);
    }
    op2->disconnect(this);
    connect(op2, &QFileDialog::fileSelected, this, [this, row](const QString& file) {
        // the box whose Hint equals the button's
        for (QLineEdit* box : s)
            if (box->property("Hint").toInt() == row) model_->settings.jb1Click(row, file);
        showModel();
    });
    op2->open();
}

void Tfnewconfig::JvHTButton3Click() {
    model_->settings.JvHTButton3Click(sender()->property("Hint").toInt());
    showModel();
}

// ---- the model into the widgets

void Tfnewconfig::showModel() {
    const ConfigDialogModel& m = *model_;
    const AudioSetupPage& a = m.audio;
    {
        const QSignalBlocker b(JvPageControl1);
        JvPageControl1->setCurrentIndex(m.page);
    }
    rdm1->SetDown(a.rdm1);
    rdm2->SetDown(a.rdm2);
    workmode->setTitle(a.workmode);
    for (int i = 0; i < 6; ++i) {
        const QSignalBlocker b(rw[size_t(i)]);
        rw[size_t(i)]->setChecked(a.mode == i + 1);
    }
    syncCaption(titledc, a.titledc);
    syncCaption(lab1, a.lab1);
    syncCaption(lab2, a.lab2);
    syncCaption(lab3, a.lab3);
    syncCaption(lab4, a.lab4);
    syncCaption(lab5, a.lab5);
    layoutAudioRows();
    for (int k = 0; k < 3; ++k) {
        syncCombo(dev[size_t(k)], a.dev[k]);
        syncCombo(cha[size_t(k)], a.cha[k]);
    }

    const SettingsPages& st = m.settings;
    if (auto1->text() != st.auto1) auto1->setText(st.auto1);
    if (auto2->text() != st.auto2) auto2->setText(st.auto2);
    syncCombo(cbrake, st.cbrake);
    syncCombo(bend, st.bend);
    syncCombo(keylockonoff, st.keylockonoff);
    syncCombo(cutedb, st.cutedb);
    for (int i = 0; i < 6; ++i)
        if (s[size_t(i)]->text() != st.s[size_t(i)]) s[size_t(i)]->setText(st.s[size_t(i)]);
    for (QRadioButton* r : {ph, pm, pl}) {
        const QSignalBlocker b(r);
        r->setChecked((r == ph && st.performance == 0) || (r == pm && st.performance == 1) ||
                      (r == pl && st.performance == 2));
    }
    syncCombo(updatescom, st.updatescom);
    syncCombo(record_sel, st.record_sel);
    syncCombo(ComboBox2, st.ComboBox2);
    syncList(ListView2, st.ListView2);
    const bool waiting = m.controllers.readingPorts();
    for (int l = 0; l < P::kLists; ++l) {
        const bool port = l == P::listview1 || l == P::ListView4;
        QTreeWidget* t = lists[size_t(l)];
        const CheckList shown =
            waiting && port ? m.controllers.waitingList(P::List(l)) : m.controllers.list(P::List(l));
        syncList(t, shown);
        if (!port) continue;
        // waiting: greyed, and the "…" of no stored port (the one unchecked entry) without a check box
        t->setEnabled(!waiting);
        const QSignalBlocker b(t);
        for (int i = 0; i < t->topLevelItemCount(); ++i) {
            QTreeWidgetItem* item = t->topLevelItem(i);
            item->setForeground(0, waiting ? QBrush(QColor(0x8A, 0x8A, 0x8A)) : QBrush());
            if (waiting && !shown.isChecked(i)) item->setData(0, Qt::CheckStateRole, QVariant());
        }
    }
    JvHTButton12->setEnabled(!waiting);
}

// ---- showing, closing, dragging

void Tfnewconfig::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (activated_) return;
    activated_ = true;
    // centred on the screen
    if (const QScreen* screen =
            (parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen()))
        move(screen->geometry().center() - rect().center());
    model_->activate();
}

void Tfnewconfig::finishedClose(int result) {
    if (closing_) return;
    closing_ = true;
    if (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
    model_->closed();
    if (theDialog == this) theDialog = nullptr;
    emit configClosed(result == Accepted, result == Accepted && model_->cambioskin);
    deleteLater();
}

void Tfnewconfig::startDrag() {
    if (!(QApplication::mouseButtons() & Qt::LeftButton)) return;
    if (windowHandle() && windowHandle()->startSystemMove()) return;
    dragging_ = true;
    dragOffset_ = QCursor::pos() - frameGeometry().topLeft();
}

bool Tfnewconfig::eventFilter(QObject* watched, QEvent* e) {
    const bool dragArea =
        watched == QuorPanel1 || watched == JvPageControl1 || watched == JvPageControl1->tabBar();
    if (watched == Label67 || watched == Label68) {
        if (e->type() == QEvent::MouseButtonRelease) {
            if (watched == Label67)
                model_->audio.Label67Click();
            else
                model_->audio.Label68Click();
            showModel();
        }
        return false;
    }
    if (!dragArea) return QDialog::eventFilter(watched, e);
    switch (e->type()) {
    case QEvent::MouseButtonPress:
        // a tab both selects its page and starts the drag
        if (static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton)
            QMetaObject::invokeMethod(this, &Tfnewconfig::startDrag, Qt::QueuedConnection);
        break;
    case QEvent::MouseMove:
        if (dragging_) move(static_cast<QMouseEvent*>(e)->globalPosition().toPoint() - dragOffset_);
        break;
    case QEvent::MouseButtonRelease:
        dragging_ = false;
        break;
    default:
        break;
    }
    return false;
}
