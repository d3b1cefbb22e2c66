// Skin description files: the encodings, the INI reader and writer, and a surface reading and
// writing its controls, auto-save controls and graphics.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>

#include "snkins/colorref.h"
#include "snkins/vs/skinerror.h"
#include "snkins/vs/tvsbutton.h"
#include "snkins/vs/tvsimage.h"
#include "snkins/vs/tvsini.h"
#include "snkins/vs/tvsslider.h"
#include "snkins/vs/vssysutils.h"
#include "tests/snkins/vs/skinrig.h"

namespace {

void writeText(const QString& path, const char* text)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
}

QString readText(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

QString errorOf(const std::function<void()>& fn)
{
    try {
        fn();
    } catch (const SkinError& e) {
        return e.message();
    }
    return QString();
}

// A surface with one control of each kind and an auto-save label "lab".
struct Populated : SkinRig {
    TVsButton* button = new TVsButton(skin);
    TVsSlider* slider = new TVsSlider(skin);
    TVsImage* image = new TVsImage(skin);
    QLabel* label = new QLabel(skin);
    Populated()
    {
        button->setObjectName(QStringLiteral("play1"));
        button->SetGraphicName(QStringLiteral("boton.bmp"));
        slider->setObjectName(QStringLiteral("pitch1"));
        slider->SetGraphicName(QStringLiteral("thumb.bmp"));
        image->setObjectName(QStringLiteral("logo"));
        image->SetGraphicName(QStringLiteral("boton.bmp"));
        label->setObjectName(QStringLiteral("lab"));
        skin->AutoSave() << QStringLiteral("lab");
    }
};

struct SkinFile : testing::Test {
    void SetUp() override
    {
        ensureApp();
        path = dir.filePath(QStringLiteral("skin.ini"));
    }
    QTemporaryDir dir;
    QString path;
};

}  // namespace

TEST_F(SkinFile, EncodingsReadAndWriteTheirTexts)
{
    EXPECT_EQ(RectToStr(QRect(10, 20, 100, 25)), QStringLiteral("10,20,100,25"));
    EXPECT_EQ(StrToRect(QStringLiteral("10,20,100,25")), QRect(10, 20, 100, 25));
    EXPECT_EQ(RGBToStr(clFuchsia), QStringLiteral("255,0,255"));
    EXPECT_EQ(RGBToStr(clNone), QString());
    EXPECT_EQ(StrToRGB(QString()), clNone);
    EXPECT_EQ(StrToRGB(QStringLiteral("300,0,0")), 44u);
    EXPECT_EQ(StrToRGB(QStringLiteral("1,2,3")), 0x030201u);
    EXPECT_FALSE(RGBToStr(0xFF00000F).isEmpty());  // a system colour: what it shows now
    SkinFont font;
    font.Name = QStringLiteral("Arial");
    font.Size = 8;
    font.Styles = SkinFont::fsBold;
    font.Pitch = 0;
    font.Charset = 1;
    EXPECT_EQ(FontToStr(font), QStringLiteral("Arial,8,B,0,1"));
    font.Name = QStringLiteral("100%0 %1 Sans");  // a name is not a format
    EXPECT_EQ(FontToStr(font), QStringLiteral("100%0 %1 Sans,8,B,0,1"));
    EXPECT_EQ(FontStylesToString(15), QStringLiteral("BIUS"));
    EXPECT_EQ(StringToFontStyles(QStringLiteral("sxb")), SkinFont::fsBold | SkinFont::fsStrikeOut);
    QString text = QStringLiteral("a,b");
    EXPECT_EQ(GetParam(text), QStringLiteral("a"));
    EXPECT_EQ(GetParam(text), QStringLiteral("b"));
    EXPECT_EQ(text, QString());

    for (const char* bad : {"1,2,3", "1,2,x,4", "", "1,2,3,99999999999", "0,0,16777216,1"})
        EXPECT_THROW(StrToRect(QString::fromLatin1(bad)), SkinError) << bad;
    for (const char* bad : {"1,2", "a,b,c", "1,,3"})
        EXPECT_THROW(StrToRGB(QString::fromLatin1(bad)), SkinError) << bad;
    EXPECT_EQ(errorOf([] { StrToInt(QStringLiteral("12a")); }), QStringLiteral("'12a' is not a valid integer value"));
}

TEST_F(SkinFile, PartialFontKeepsWhatItDoesNotName)
{
    SkinFont font;
    font.Name = QStringLiteral("Arial");
    font.Size = 8;
    font.Styles = SkinFont::fsItalic | SkinFont::fsUnderline;
    font.Pitch = 2;
    font.Charset = 238;
    SkinFont read = font;
    StrToFont(QStringLiteral("Tahoma,10"), read);
    EXPECT_EQ(read.Name, QStringLiteral("Tahoma"));
    EXPECT_EQ(read.Size, 10);
    EXPECT_EQ(read.Styles, font.Styles);
    EXPECT_EQ(read.Pitch, 2);
    EXPECT_EQ(read.Charset, 238);
    StrToFont(QStringLiteral(",x,b,?,7"), read);  // no name, a size and pitch that are no numbers
    EXPECT_EQ(read.Name, QStringLiteral("Tahoma"));
    EXPECT_EQ(read.Size, 10);
    EXPECT_EQ(read.Styles, SkinFont::fsBold);
    EXPECT_EQ(read.Pitch, 2);
    EXPECT_EQ(read.Charset, 7);
}

TEST_F(SkinFile, IniKeepsValueTextsAndFindsNamesInAnyCase)
{
    writeText(path, "; a comment\nstray=before any section\n[Defaults]\n  Mode = 0 \nMode=5\n[play1]\n"
                    "Rect=1,2,3,4\nHint=a = b, c\nnot a key\n[PLAY1]\nRect=9,9,9,9\n");
    TVsIni ini(path);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("defaults"), QStringLiteral("MODE"), 1), 0);
    EXPECT_EQ(ini.ReadString(QStringLiteral("Play1"), QStringLiteral("hint"), QString()), QStringLiteral("a = b, c"));
    EXPECT_EQ(ini.ReadRect(QStringLiteral("play1"), QStringLiteral("Rect"), QRect()), QRect(1, 2, 3, 4));
    EXPECT_EQ(ini.ReadSection(QStringLiteral("play1")), QStringList({"Rect", "Hint"}));
    EXPECT_FALSE(ini.ValueExists(QStringLiteral("play1"), QStringLiteral("not a key")));
    EXPECT_EQ(ini.ReadString(QStringLiteral("nowhere"), QStringLiteral("x"), QStringLiteral("dflt")), QStringLiteral("dflt"));
    EXPECT_THROW(ini.ReadInteger(QStringLiteral("play1"), QStringLiteral("Hint"), 0), SkinError);

    ini.WriteString(QStringLiteral("PLAY1"), QStringLiteral("HINT"), QStringLiteral("new"));
    ini.WriteDefaultBool(QStringLiteral("play1"), QStringLiteral("ShowHint"), false, false);
    ini.WriteDefaultString(QStringLiteral("play1"), QStringLiteral("Other"), QStringLiteral("x"), QStringLiteral("x"));
    ini.UpdateFile();
    EXPECT_EQ(readText(path), QStringLiteral("[Defaults]\nMode=0\nMode=5\n\n[play1]\nRect=1,2,3,4\nHint=new\n\n"
                                             "[PLAY1]\nRect=9,9,9,9\n\n"));
}

TEST_F(SkinFile, WrittenSkinReadsBackIntoAnotherSurface)
{
    Populated a;
    a.skin->SetHint(QStringLiteral("surface hint"));
    a.skin->SetShowHint(true);
    a.skin->SetMaskColor(clFuchsia);
    a.button->ClipRect()->SetBounds(0, 0, 100, 10);
    a.button->SetBounds(12, 34, 0, 0);
    a.button->SetHint(QStringLiteral("Play, deck A"));
    a.button->SetShowHint(true);
    a.button->SetMaskColor(clFuchsia);
    a.slider->SetBounds(5, 40, 30, 60);
    a.slider->SetDirection(sdVert);
    a.slider->ClipRect()->SetBounds(0, 0, 40, 12);
    a.slider->SetMaskColor(0x00102030);
    a.image->ClipRect()->SetBounds(20, 0, 40, 10);
    a.image->SetBounds(70, 5, 44, 14);
    a.label->setGeometry(3, 80, 90, 15);
    a.label->setToolTip(QStringLiteral("label hint"));
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSize(11);
    f.setBold(true);
    f.setUnderline(true);
    a.label->setFont(f);
    QPalette pal = a.label->palette();
    pal.setColor(a.label->backgroundRole(), QColor(10, 20, 30));
    pal.setColor(a.label->foregroundRole(), QColor(200, 210, 220));
    a.label->setPalette(pal);
    int written = 0;
    const auto writeHost = [&](TVsSkin* sender, TVsIni* ini) {
        EXPECT_NE(sender, nullptr);
        ini->WriteString(QStringLiteral("Host"), QStringLiteral("Deck"), QStringLiteral("A"));
        ++written;
    };
    QObject::connect(a.skin, &TVsSkin::OnSkinWrite, writeHost);
    a.skin->WriteSkin(path, 1);
    EXPECT_EQ(written, 1);
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("skin.vsf"))));

    Populated b;
    b.composer->Graphics()->Clear();
    QString host;
    QObject::connect(b.skin, &TVsSkin::OnSkinRead, [&](TVsSkin*, TVsIni* ini) {
        host = ini->ReadString(QStringLiteral("Host"), QStringLiteral("Deck"), QString());
    });
    b.skin->ReadSkin(path);
    EXPECT_EQ(host, QStringLiteral("A"));
    EXPECT_EQ(b.composer->Graphics()->Count(), 3);  // the pack beside the file
    EXPECT_EQ(b.skin->Hint(), QStringLiteral("surface hint"));
    EXPECT_TRUE(b.skin->ShowHint());
    EXPECT_EQ(b.skin->MaskColor(), clFuchsia);
    EXPECT_TRUE(b.skin->RegionApplied());
    for (auto [x, y] : {std::pair{a.button, b.button}}) {
        EXPECT_EQ(y->geometry(), QRect(12, 34, 20, 10));
        EXPECT_EQ(y->ClipRect()->BoundsRect(), x->ClipRect()->BoundsRect());
        EXPECT_EQ(y->Hint(), QStringLiteral("Play, deck A"));
        EXPECT_TRUE(y->ShowHint());
        EXPECT_EQ(y->MaskColor(), clFuchsia);
    }
    EXPECT_EQ(b.slider->geometry(), QRect(5, 40, 30, 60));
    EXPECT_EQ(b.slider->Direction(), sdVert);
    EXPECT_EQ(b.slider->ClipRect()->BoundsRect(), QRect(0, 0, 40, 12));
    EXPECT_EQ(b.slider->MaskColor(), 0x00102030u);
    EXPECT_EQ(b.slider->Hint(), QString());
    EXPECT_EQ(b.image->geometry(), QRect(70, 5, 44, 14));
    EXPECT_EQ(b.image->ClipRect()->BoundsRect(), QRect(20, 0, 40, 10));
    EXPECT_EQ(b.image->MaskColor(), clNone);
    EXPECT_EQ(b.label->geometry(), QRect(3, 80, 90, 15));
    EXPECT_EQ(b.label->toolTip(), QStringLiteral("label hint"));
    EXPECT_EQ(b.label->font().family(), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(b.label->font().pointSize(), 11);
    EXPECT_TRUE(b.label->font().bold());
    EXPECT_TRUE(b.label->font().underline());
    EXPECT_FALSE(b.label->font().italic());
    EXPECT_EQ(b.label->palette().color(b.label->backgroundRole()), QColor(10, 20, 30));
    EXPECT_EQ(b.label->palette().color(b.label->foregroundRole()), QColor(200, 210, 220));

    // and writing the second surface gives the same file
    QObject::connect(b.skin, &TVsSkin::OnSkinWrite, writeHost);
    const QString first = readText(path);
    const QString again = dir.filePath(QStringLiteral("again.ini"));
    b.skin->WriteSkin(again, 1);
    EXPECT_EQ(readText(again), first);
}

TEST_F(SkinFile, SignatureMustMatchExactly)
{
    Populated a;
    a.skin->WriteSkin(path, 1);
    EXPECT_FALSE(readText(path).contains(QStringLiteral("Signature")));
    Populated b;
    b.skin->ReadSkin(path);
    b.skin->SetSignature(QStringLiteral("OSTREL"));
    EXPECT_EQ(errorOf([&] { b.skin->ReadSkin(path); }), QStringLiteral("Invalid or unknown file signature."));

    a.skin->SetSignature(QStringLiteral("OSTREL"));
    a.skin->WriteSkin(path, 1);
    EXPECT_TRUE(readText(path).contains(QStringLiteral("Signature=OSTREL")));
    b.skin->ReadSkin(path);
    b.skin->SetSignature(QStringLiteral("ostrel"));
    EXPECT_EQ(errorOf([&] { b.skin->ReadSkin(path); }), QStringLiteral("Invalid or unknown file signature."));
    EXPECT_EQ(errorOf([&] { b.skin->ReadSkin(dir.filePath(QStringLiteral("none.ini"))); }),
              QStringLiteral("No skin description file found."));
}

TEST_F(SkinFile, AbsentAndEmptyKeysReadAsTheirDefaults)
{
    Populated s;
    s.skin->SetMaskColor(clFuchsia);
    s.button->SetMaskColor(clFuchsia);
    s.button->SetHint(QStringLiteral("old"));
    s.label->setGeometry(7, 8, 9, 10);
    QFont f = s.label->font();
    f.setItalic(true);
    s.label->setFont(f);
    writeText(path, "[Defaults]\nMode=1\n[play1]\nMaskColor=\n[lab]\nFont=Tahoma,10\nColor=300,0,0\n[ghost]\nRect=1,1,1,1\n");
    s.composer->Graphics()->SaveToFile(dir.filePath(QStringLiteral("skin.vsf")));
    s.skin->AutoSave() << QStringLiteral("ghost");  // no child carries it: skipped
    s.skin->ReadSkin(path);
    EXPECT_EQ(s.skin->MaskColor(), clNone);   // absent
    EXPECT_EQ(s.button->MaskColor(), clNone); // empty
    EXPECT_EQ(s.button->Hint(), QString());
    EXPECT_EQ(s.button->ClipRect()->BoundsRect(), QRect(0, 0, 0, 0));
    EXPECT_EQ(s.label->geometry(), QRect(7, 8, 9, 10));  // no "Rect": the bounds stay
    EXPECT_EQ(s.label->font().family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(s.label->font().pointSize(), 10);
    EXPECT_TRUE(s.label->font().italic());
    EXPECT_EQ(s.label->palette().color(s.label->backgroundRole()), QColor(44, 0, 0));
}

TEST_F(SkinFile, BadValueKeepsWhatWasAppliedRefreshesAndShowsTheFormAgain)
{
    Populated s;
    s.form->show();
    writeText(path, "[Defaults]\nMode=1\n[skin]\nMaskColor=255,0,255\nHint=before\n[play1]\nRect=1,2,3\n");
    EXPECT_EQ(errorOf([&] { s.skin->ReadSkin(path); }), QStringLiteral("'' is not a valid integer value"));
    EXPECT_EQ(s.skin->Hint(), QStringLiteral("before"));
    EXPECT_TRUE(s.skin->RegionApplied());  // the refresh ran
    EXPECT_TRUE(s.form->isVisible());

    // the bracket is closed: a later change refreshes at once
    s.skin->SetMaskColor(clNone);
    EXPECT_FALSE(s.skin->RegionApplied());

    writeText(path, "[Defaults]\nMode=zero\n");
    EXPECT_EQ(errorOf([&] { s.skin->ReadSkin(path); }), QStringLiteral("'zero' is not a valid integer value"));
    writeText(path, "[pitch1]\nDirection=2\n");
    EXPECT_FALSE(errorOf([&] { s.skin->ReadSkin(path); }).isEmpty());
}

TEST_F(SkinFile, MissingPackFailsAfterTheSectionsWereApplied)
{
    Populated s;
    writeText(path, "[Defaults]\nMode=1\n[skin]\nHint=applied\n");
    EXPECT_TRUE(errorOf([&] { s.skin->ReadSkin(path); }).startsWith(QStringLiteral("Cannot open file")));
    EXPECT_EQ(s.skin->Hint(), QStringLiteral("applied"));
}

TEST_F(SkinFile, ModeZeroKeepsTheGraphicsAsLooseBitmaps)
{
    Populated a;
    a.skin->WriteSkin(path, 0);
    EXPECT_TRUE(readText(path).contains(QStringLiteral("Mode=0")));
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("fondo.bmp"))));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("skin.vsf"))));

    Populated b;
    TVsGraphic blank;
    blank.SetName(QStringLiteral("FONDO.BMP"));  // names stay as the list has them
    b.composer->Graphics()->SetItems(0, &blank);
    b.skin->ReadSkin(path);
    EXPECT_EQ(b.composer->Graphics()->Items(0)->Name(), QStringLiteral("FONDO.BMP"));
    EXPECT_EQ(b.composer->Graphics()->Items(0)->Bitmap().size(), QSize(200, 100));
    EXPECT_EQ(b.skin->size(), QSize(200, 100));
}
