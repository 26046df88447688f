// The settings window's layout, its creation, its opening and its OK.
#include "lessons/settings_window.h"

#include "lessons/board_link.h"
#include "lessons/change_password.h"
#include "lessons/keypad.h"
#include "lessons/lesson_archive.h"
#include "lessons/passwords.h"
#include "lessons/teacher_names.h"
#include "platform/os/services.h"
#include "platform/widgets/list_box.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QShowEvent>

using namespace lessons;
using namespace platform;

platform::SingleWindow<TForm6> Form6;

namespace {

constexpr int FormWidth = 560;
constexpr int FormHeight = 364;
constexpr TColor WidthBoxColour = 14850132; // 0xE29854

// Stands in for the board while the program has given none.
class NoBoard final : public BoardLink {
public:
    TColor backgroundColour() const override { return keys::DefaultBackground; }
    void setPenColour(TColor) override {}
    void setPenWidth(int, bool) override {}
    void setBackgroundSwatch(TColor) override {}
    void setWindowColour(TColor) override {}
    void setEditorColour(TColor) override {}
    int currentPageState() const override { return 0; }
    void fillCurrentPage(TColor) override {}
    void setPaintMode(int) override {}
    void invalidate() override {}
};

enum class Picture { Open, Save, Up, Down };

// The group's few button pictures, drawn here so that they need no files.
QIcon drawPicture(Picture picture, QSize size) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal w = size.width();
    const qreal h = size.height();
    switch (picture) {
    case Picture::Open: {
        p.setPen(QPen(QColor(120, 80, 0), 1.5));
        p.setBrush(QColor(250, 200, 60));
        QPainterPath folder;
        folder.moveTo(w * 0.1, h * 0.25);
        folder.lineTo(w * 0.4, h * 0.25);
        folder.lineTo(w * 0.5, h * 0.35);
        folder.lineTo(w * 0.9, h * 0.35);
        folder.lineTo(w * 0.9, h * 0.85);
        folder.lineTo(w * 0.1, h * 0.85);
        folder.closeSubpath();
        p.drawPath(folder);
        break;
    }
    case Picture::Save:
        p.setPen(QPen(QColor(20, 40, 110), 1.5));
        p.setBrush(QColor(60, 100, 200));
        p.drawRect(QRectF(w * 0.15, h * 0.15, w * 0.7, h * 0.7));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(w * 0.3, h * 0.15, w * 0.4, h * 0.25));
        break;
    case Picture::Up:
    case Picture::Down: {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 160));
        const bool up = picture == Picture::Up;
        const QPointF tip(w / 2, up ? h * 0.2 : h * 0.8);
        const qreal base = up ? h * 0.8 : h * 0.2;
        p.drawPolygon(QPolygonF({tip, QPointF(w * 0.3, base), QPointF(w * 0.7, base)}));
        break;
    }
    }
    return QIcon(pixmap);
}

QLineEdit* numberBox(QWidget* parent, int left, int top) {
    auto* box = new QLineEdit(QStringLiteral("1"), parent);
    box->setGeometry(left, top, 36, 22);
    box->setReadOnly(true);
    box->setAlignment(Qt::AlignCenter);
    box->setFocusPolicy(Qt::NoFocus);
    return box;
}

QStringList numbers(int count) {
    QStringList items;
    for (int i = 1; i <= count; ++i)
        items << QString::number(i);
    return items;
}

} // namespace

TForm6::TForm6(SettingsLinks links)
    : Form(nullptr, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      links_(std::move(links)), archive_(std::make_unique<LessonArchive>(lessonFiles())) {
    setWindowTitle(QStringLiteral("设置"));
    resize(FormWidth, FormHeight);
    QFont f(QStringLiteral("宋体"));
    f.setPixelSize(13);
    setFont(f);

    GroupBox1 = new QGroupBox(QStringLiteral("任课教师"), this);
    GroupBox1->setGeometry(8, 6, 200, 318);
    Edit1 = new QLineEdit(GroupBox1);
    Edit1->setGeometry(10, 22, 180, 22);
    Button1 = pushButton(GroupBox1, QStringLiteral("添加"), 10, 50, 56, 24);
    Button2 = pushButton(GroupBox1, QStringLiteral("修改"), 72, 50, 56, 24);
    Button5 = pushButton(GroupBox1, QStringLiteral("删除"), 134, 50, 56, 24);
    ListBox1 = new ListBox(GroupBox1, 10, 80, 180, 166);
    Button8 = pushButton(GroupBox1, QStringLiteral("设置个人密码"), 10, 254, 180, 26);
    Button9 = pushButton(GroupBox1, QStringLiteral("设置管理密码"), 10, 284, 180, 26);

    GroupBox2 = new QGroupBox(QStringLiteral("课程选择"), this);
    GroupBox2->setGeometry(216, 6, 336, 212);
    Label1 = formLabel(GroupBox2, QStringLiteral("第"), 10, 24, 14);
    Edit2 = numberBox(GroupBox2, 26, 22);
    Label2 = formLabel(GroupBox2, QStringLiteral("册"), 66, 24, 14);
    ListBox2 = new ListBox(GroupBox2, 10, 50, 76, 122);
    Button3 = pushButton(GroupBox2, QStringLiteral("添加"), 10, 178, 37, 24);
    Button6 = pushButton(GroupBox2, QStringLiteral("减少"), 49, 178, 37, 24);
    Label3 = formLabel(GroupBox2, QStringLiteral("第"), 100, 24, 14);
    Edit3 = numberBox(GroupBox2, 116, 22);
    Label4 = formLabel(GroupBox2, QStringLiteral("课"), 156, 24, 14);
    ListBox3 = new ListBox(GroupBox2, 100, 50, 76, 122);
    Button4 = pushButton(GroupBox2, QStringLiteral("添加"), 100, 178, 37, 24);
    Button7 = pushButton(GroupBox2, QStringLiteral("减少"), 139, 178, 37, 24);
    Label11 = formLabel(GroupBox2, QStringLiteral("存储或"), 194, 24, 120);
    Label10 = formLabel(GroupBox2, QStringLiteral("打开盘区："), 194, 44, 120);
    DriveComboBox1 = new DriveComboBox(GroupBox2, 194, 66, 130, 24);
    DriveComboBox1->setFocusPolicy(Qt::NoFocus);
    DriveComboBox1->followTable(2000);
    SpeedButton1 = new SpeedButton(GroupBox2, 194, 108, 62, 64, QStringLiteral("打开课程"));
    SpeedButton2 = new SpeedButton(GroupBox2, 262, 108, 62, 64, QStringLiteral("保存课程"));
    for (auto [b, text, picture] :
         {std::tuple{SpeedButton1, QStringLiteral("打开"), Picture::Open},
          std::tuple{SpeedButton2, QStringLiteral("保存"), Picture::Save}}) {
        b->setText(text);
        b->setIcon(drawPicture(picture, QSize(32, 32)));
        b->setIconSize(QSize(32, 32));
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    }
    // Below the open and save buttons, where the group had room.
    Button10 = pushButton(GroupBox2, QStringLiteral("导出为PDF"), 194, 178, 130, 24);

    GroupBox3 = new QGroupBox(QStringLiteral("个性设置"), this);
    GroupBox3->setGeometry(216, 222, 336, 102);
    SpeedButton9 = new SpeedButton(GroupBox3, 14, 28, 38, 38, QStringLiteral("笔画颜色"));
    LCP = new Swatch(GroupBox3, 15, 43, 36, 9, keys::DefaultStroke, QStringLiteral("笔画颜色"));
    Label5 = formLabel(GroupBox3, QStringLiteral("笔画"), 58, 30, 40);
    Label6 = formLabel(GroupBox3, QStringLiteral("颜色"), 58, 48, 40);
    RCP =
        new Swatch(GroupBox3, 112, 28, 38, 38, keys::DefaultBackground, QStringLiteral("背景颜色"));
    Label7 = formLabel(GroupBox3, QStringLiteral("背景"), 156, 30, 40);
    Label8 = formLabel(GroupBox3, QStringLiteral("颜色"), 156, 48, 40);
    Edit4 = new QLineEdit(keys::DefaultWidth, GroupBox3);
    Edit4->setGeometry(212, 28, 26, 38);
    Edit4->setReadOnly(true);
    Edit4->setEnabled(false);
    Edit4->setAlignment(Qt::AlignCenter);
    Edit4->setFrame(false);
    QFont digits = Edit4->font();
    digits.setPixelSize(31);
    digits.setBold(true);
    Edit4->setFont(digits);
    Edit4->setStyleSheet(QStringLiteral("QLineEdit { color: red; background: %1; }")
                             .arg(toQColor(WidthBoxColour).name()));
    SpeedButton7 = new SpeedButton(GroupBox3, 242, 28, 38, 19, QStringLiteral("笔画加粗"));
    SpeedButton7->setIcon(drawPicture(Picture::Up, QSize(32, 13)));
    SpeedButton7->setIconSize(QSize(32, 13));
    SpeedButton8 = new SpeedButton(GroupBox3, 242, 47, 38, 19, QStringLiteral("笔画变细"));
    SpeedButton8->setIcon(drawPicture(Picture::Down, QSize(32, 13)));
    SpeedButton8->setIconSize(QSize(32, 13));
    Label9 = formLabel(GroupBox3, QStringLiteral("笔画粗细调整"), 212, 72, 110);
    SmoothInkBox = new QCheckBox(QStringLiteral("平滑笔迹"), GroupBox3);
    SmoothInkBox->setGeometry(14, 72, 150, 22);
    SmoothInkBox->setChecked(true);

    BitBtn1 = pushButton(this, QStringLiteral("确定"), 464, 330, 88, 28);

    connect(ListBox1, &ListBox::clicked, this, [this](int index) {
        if (index >= 0)
            guarded([this] { ListBox1Click(); });
    });
    connect(ListBox2, &ListBox::clicked, this, [this](int index) {
        if (index >= 0)
            guarded([this] { ListBox2Click(); });
    });
    // Another drive may hold other lessons of the chosen teacher.
    connect(DriveComboBox1, &QComboBox::currentIndexChanged, this,
            [this] { guarded([this] { showSavedLessons(); }); });
    connect(ListBox3, &ListBox::clicked, this, [this](int index) {
        if (index >= 0)
            guarded([this] { ListBox3Click(); });
    });
    onClick(Button1, &TForm6::Button1Click);
    onClick(Button2, &TForm6::Button2Click);
    onClick(Button5, &TForm6::Button5Click);
    onClick(Button8, &TForm6::Button8Click);
    onClick(Button9, &TForm6::Button9Click);
    onClick(Button3, &TForm6::Button3Click);
    onClick(Button4, &TForm6::Button4Click);
    onClick(Button6, &TForm6::Button6Click);
    onClick(Button7, &TForm6::Button7Click);
    onClick(SpeedButton1, &TForm6::SpeedButton1Click);
    onClick(SpeedButton2, &TForm6::SpeedButton2Click);
    onClick(Button10, &TForm6::Button10Click);
    onClick(SpeedButton9, &TForm6::SpeedButton9Click);
    connect(LCP, &Swatch::clicked, this, [this] { guarded([this] { LCPClick(); }); });
    connect(RCP, &Swatch::clicked, this, [this] { guarded([this] { RCPClick(); }); });
    onClick(SpeedButton7, &TForm6::SpeedButton7Click);
    onClick(SpeedButton8, &TForm6::SpeedButton8Click);
    onClick(BitBtn1, &TForm6::BitBtn1Click);
}

TForm6::~TForm6() = default;

void TForm6::FormCreate() {
    const ConfigPlace place = WorkOutConfigFolder();
    ConfigFolder = place.Folder;
    ConfigDrive = place.Drive;
    const Configuration config(ConfigFolder);
    readTeacherList(config);
    showSettings(config.Personal(config.DefaultSectionName()));
    if (links_.HandOverAtCreation)
        handOverAtStart();
}

void TForm6::readTeacherList(const Configuration& config) {
    teachersRead_ = config.Readable();
    DriveComboBox1->setDrive(config.LessonDrive().value_or(ConfigDrive));
    QStringList teachers{QStringLiteral("默认")};
    const int count = teachersRead_ ? config.TeacherCount() : 0;
    for (int i = 1; i <= count; ++i)
        teachers << config.TeacherName(i);
    ListBox1->setItems(teachers);
}

void TForm6::warnIfSettingsUnreadable() {
    // The message centres on this window, hidden yet: where it will show.
    move((screenWidth() - width()) / 2, (screenHeight() - height()) / 2);
    settingsReadable();
}

// Opening the window (from the board) asks for the teacher again.
void TForm6::showEvent(QShowEvent* event) {
    Form::showEvent(event);
    if (event->spontaneous() || steppedAside())
        return;
    TeacherSelected = 0;
    if (!teachersRead_) {
        if (const Configuration config(ConfigFolder); config.Readable())
            readTeacherList(config);
        else
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (isVisible())
                        settingsReadable();
                },
                Qt::QueuedConnection);
    }
    ListBox1->setItemIndex(-1);
    DriveComboBox1->refresh();
    move((screenWidth() - width()) / 2, (screenHeight() - height()) / 2);
}

// A window shown above this one (the change-password window) goes with it, rather than stay
// over the board with its OK still able to write.
void TForm6::hideEvent(QHideEvent* event) {
    Form::hideEvent(event);
    if (event->spontaneous())
        return;
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->isWindow())
            child->hide();
}

// Without a border the window needs an edge of its own above the board.
void TForm6::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(palette().color(QPalette::Dark));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

BoardLink& TForm6::board() {
    static NoBoard none;
    return links_.Board != nullptr ? *links_.Board : none;
}

void TForm6::inform(const QString& text) {
    dialogs().inform(this, text, QStringLiteral("K_Vorne"));
}

bool TForm6::settingsReadable() {
    const Configuration config(ConfigFolder);
    if (config.Readable())
        return true;
    inform(UnreadableSettingsMessage(config.FileName()));
    return false;
}

bool TForm6::teacherChosen() {
    if (!settingsReadable())
        return false;
    if (TeacherSelected == 1)
        return true;
    inform(QStringLiteral("请选择任课教师！"));
    return false;
}

void TForm6::showSettings(const PersonalSettings& settings) {
    ListBox2->setItems(numbers(settings.Volumes));
    ListBox3->setItems(numbers(settings.Lessons));
    LCP->setColor(settings.Stroke);
    RCP->setColor(settings.Background);
    Edit4->setText(settings.Width);
    SmoothInkBox->setChecked(settings.SmoothInk);
    showSavedLessons();
}

PersonalSettings TForm6::shownSettings() const {
    PersonalSettings s;
    s.Volumes = ListBox2->count();
    s.Lessons = ListBox3->count();
    s.Stroke = LCP->Color();
    s.Background = RCP->Color();
    s.Width = Edit4->text();
    s.PasswordCode = TeacherPasswordCode;
    s.SmoothInk = SmoothInkBox->isChecked();
    return s;
}

QString TForm6::TeacherSection() const {
    return Edit1->text().isEmpty() ? keys::DefaultSection : Edit1->text();
}

QString TForm6::AdminPasswordPath() const {
    return (LessonFolder.isEmpty() ? links_.ProgramFolder : LessonFolder) + AdminPasswordFile;
}

// OK: the board takes the settings, the window closes, and the teacher list and the named
// teacher's settings are stored.
void TForm6::BitBtn1Click() {
    QString name = Edit1->text();
    if (const int index = ListBox1->ItemIndex(); index >= 0)
        name = ListBox1->Item(index);
    if (name == QStringLiteral("默认"))
        name.clear();
    // A typed name that is not in the list becomes a new section: it must be a name a new
    // teacher may take. Listed names are stored as they are.
    if (!name.isEmpty() && FindTeacher(ListBox1->Items(), name) < 0) {
        if (const auto problem = NewTeacherNameProblem(name)) {
            inform(*problem);
            return;
        }
    }
    Edit1->setText(name);
    handOverAtOk();
    close();
    applyBackgroundAtOk();

    Configuration config(ConfigFolder);
    // What could not be read is not written over; the board keeps what it was given.
    if (!config.Readable()) {
        inform(UnreadableSettingsMessage(config.FileName()));
        return;
    }
    config.StoreTeacherList(ListBox1->Items().mid(1));
    QString section = name;
    if (section.isEmpty()) {
        config.StoreDefaultSectionName();
        section = keys::DefaultSection;
    }
    config.StorePersonal(section, shownSettings(), false);
    const QChar drive = DriveComboBox1->Drive();
    config.StoreLessonDrive(drive.isNull() ? ConfigDrive : drive);
    config.Commit();

    if (links_.ReloadPictureLibrary)
        links_.ReloadPictureLibrary();
}
