#include "controllers/tcontroladora.h"

#include <chrono>
#include <thread>

#include <QFileInfo>

#include "controllers/definitionrow.h"
#include "controllers/dispatch/controllersurface.h"
#include "platform/xml/xmldocument.h"

namespace {

// Input names by control code: "BTN" for controls pressed and released, "POT" for continuous ones.
constexpr const char* kInputNames[TControladora::kInputCodes] = {
    "BTNUNKNOWN", "BTNPLAYA", "BTNCUEA", "BTNPAUSEA", "BTNLOADA", "BTNSYNCA", "BTNREVA",
    "BTNBRAKEA", "BTNLOOPINA", "BTNLOOPOUTA", "BTNLOOPEXITA", "BTNAUTOLOOPA1", "BTNAUTOLOOPA2",
    "BTNAUTOLOOPA3", "BTNAUTOLOOPA4", "BTNAUTOLOOPA5", "BTNAUTOLOOPA6", "BTNAUTOLOOPA7",
    "BTNCUEMEMA", "BTNCUE1A", "BTNCUE2A", "BTNCUE3A", "BTNCUE4A", "BTNCUE5A", "BTNCUE6A",
    "BTNVINYLA", "BTNSEARCHA", "BTNFXA", "BTNBENDMENOSA", "BTNBENDMASA", "BTNKEYLOCKA",
    "BTNKILLBASA", "BTNKILLMEDA", "BTNKILLHIGHA", "BTNHEADPHA", "BTNPLAYB", "BTNCUEB", "BTNPAUSEB",
    "BTNLOADB", "BTNSYNCB", "BTNREVB", "BTNBRAKEB", "BTNLOOPINB", "BTNLOOPOUTB", "BTNLOOPEXITB",
    "BTNAUTOLOOPB1", "BTNAUTOLOOPB2", "BTNAUTOLOOPB3", "BTNAUTOLOOPB4", "BTNAUTOLOOPB5",
    "BTNAUTOLOOPB6", "BTNAUTOLOOPB7", "BTNCUEMEMB", "BTNCUE1B", "BTNCUE2B", "BTNCUE3B", "BTNCUE4B",
    "BTNCUE5B", "BTNCUE6B", "BTNVINYLB", "BTNSEARCHB", "BTNFXB", "BTNBENDMENOSB", "BTNBENDMASB",
    "BTNKEYLOCKB", "BTNKILLBASB", "BTNKILLMEDB", "BTNKILLHIGHB", "BTNHEADPHB", "BTNSEARCHMASA",
    "BTNSEARCHMENOSA", "BTNSEARCHMASB", "BTNSEARCHMENOSB", "BTNAUTOMIX", "BTNFX1A", "BTNFX2A",
    "BTNFX3A", "BTNFXSYNC1A", "BTNFXSYNC2A", "BTNFXSYNC3A", "BTNFXSYNC4A", "BTNFXSYNC5A",
    "BTNSAMPLER1A", "BTNSAMPLER2A", "BTNSAMPLER3A", "BTNSAMPLER4A", "BTNSAMPLER5A", "BTNSAMPLER6A",
    "BTNSAMPLERSTOPA", "BTNFX1B", "BTNFX2B", "BTNFX3B", "BTNFXSYNC1B", "BTNFXSYNC2B", "BTNFXSYNC3B",
    "BTNFXSYNC4B", "BTNFXSYNC5B", "BTNSAMPLER1B", "BTNSAMPLER2B", "BTNSAMPLER3B", "BTNSAMPLER4B",
    "BTNSAMPLER5B", "BTNSAMPLER6B", "BTNSAMPLERSTOPB", "BTNMICTALKOVER", "BTNMICONAIR",
    "BTNTIMECODEA", "BTNTIMECODEB", "BTNPHONESSPLIT", "BTNAUTOLOOPMASA", "BTNAUTOLOOPMENOSA",
    "BTNFXSYNCMASA", "BTNFXSYNCMENOSA", "BTNCUEMASA", "BTNCUEMENOSA", "BTNAUTOLOOPMASB",
    "BTNAUTOLOOPMENOSB", "BTNFXSYNCMASB", "BTNFXSYNCMENOSB", "BTNCUEMASB", "BTNCUEMENOSB",
    "POTPITCHA", "POTVOLUMENA", "POTBASSA", "POTMIDA", "POTHIGHA", "POTGAINA", "POTDRYWETA",
    "POTPARAMA", "POTSAMPLERA", "POTPITCHB", "POTVOLUMENB", "POTBASSB", "POTMIDB", "POTHIGHB",
    "POTGAINB", "POTDRYWETB", "POTPARAMB", "POTSAMPLERB", "POTCROSSFADER", "POTFADEOUT",
    "POTFADEIN", "POTJOGA", "POTJOGB", "BTNJOGPRESSA", "BTNJOGPRESSB", "POTFOLDERUPDOWN",
    "BTNFOLDER", "BTNEXPUP", "BTNEXPDOWN", "BTNEXPLEFT", "BTNEXPRIGHT", "POTMASTER", "POTHEADA",
    "POTHEADB", "POTHEADMIX", "POTHEADMASTER", "BTNSELECTORA", "BTNSELECTORB", "BTNBLANCOA1",
    "BTNBLANCOA2", "BTNBLANCOA3", "BTNBLANCOA4", "BTNBLANCOB1", "BTNBLANCOB2", "BTNBLANCOB3",
    "BTNBLANCOB4", "POTAUTOLOOPA", "POTAUTOLOOPB", "POTFILEUPDOWN", "BTNFOLDERSEL", "BTNSELFXLOOPA",
    "BTNSELCUESAMA", "BTNSELTEMPRANGEA", "BTNSELFXLOOPB", "BTNSELCUESAMB", "BTNSELTEMPRANGEB",
    "BTNTIMEFXMASA", "BTNTIMEFXMENOSA", "BTNTIMEFXMASB", "BTNTIMEFXMENOSB", "BTNSELECTSONGS",
    "POTTIMEFXA", "POTTIMEFXB", "BTNCUESAM1A", "BTNCUESAM2A", "BTNCUESAM3A", "BTNCUESAM4A",
    "BTNCUESAM5A", "BTNCUESAM6A", "BTNCUESAM1B", "BTNCUESAM2B", "BTNCUESAM3B", "BTNCUESAM4B",
    "BTNCUESAM5B", "BTNCUESAM6B", "BTNCUEDELA", "BTNCUEDELB", "BTNEXPLORER", "BTNAUTOLOOPINA",
    "BTNAUTOLOOPINB", "BTNTOGGLEMODEA", "BTNTOGGLEMODEB", "BTNFOLDERUP", "BTNFOLDERDOWN",
    "POTSEARCHA", "POTSEARCHB", "POTBOTHVOLSAM", "POTFILEUPDOWN2", "POTFOLDERUPDOWN2",
    "BTNFOLDERSEL2", "POTJOGAX", "POTJOGBX", "POTVOLREC", "BTNREC", "BTNDIRE", "BTNSLOOPA",
    "BTNLOOPA1", "BTNLOOPA2", "BTNLOOPA3", "BTNFCSELFA", "BTNFCSELCA", "BTNFCSELA1", "BTNFCSELA2",
    "BTNFCSELA3", "BTNSLOOPB", "BTNLOOPB1", "BTNLOOPB2", "BTNLOOPB3", "BTNFCSELFB", "BTNFCSELCB",
    "BTNFCSELB1", "BTNFCSELB2", "BTNFCSELB3", "BTNFILE", "BTNTOTHRU", "BTNMENOSHEAD", "BTNMASHEAD",
    "BTNSELECTA0", "BTNSELECTA1", "BTNSELECTA2", "BTNSELECTA3", "BTNSELECTB0", "BTNSELECTB1",
    "BTNSELECTB2", "BTNSELECTB3", "BTNAUTOLOOPA8", "BTNAUTOLOOPB8", "POTPOSITIONA", "POTPOSITIONB",
    "BTNSHIFTA", "BTNSHIFTB", "POTSEARCHINGA", "POTSEARCHINGB", "BTNPANELCUESA", "BTNPANELLOOPA",
    "BTNPANELPLAYERA", "BTNPANELSAMPLERA", "BTNPANELCUESB", "BTNPANELLOOPB", "BTNPANELPLAYERB",
    "BTNPANELSAMPLERB", "BTNFILE2", "BTNFOLDER2", "BTNHOTCUEA", "BTNHOTCUEB", "POTFILE", "POTFILE2",
};

// Output names by output code; 0 and 243..253 are unnamed.
constexpr const char* kOutputNames[TControladora::kOutputCodes] = {
    "", "SCUEA", "SPAUSEA", "SPLAYA", "SVINYLMODEA", "SSEARCHMODEA", "SFXMODEA", "SCUEMEMA",
    "SCUE1A", "SCUE2A", "SCUE3A", "SCUE4A", "SCUE5A", "SCUE6A", "SLOOPINA", "SLOOPOUTA",
    "SLOOPRELOOPA", "SLOP1_4A", "SLOP1_2A", "SLOOP1A", "SLOOP2A", "SLOOP4A", "SLOOP8A", "SLOOP16A",
    "SSYNCA", "SLOADA", "SREVA", "SBRAKEA", "SKILLBASSA", "SKILLMIDA", "SKILLHIGHA", "SBENDMASA",
    "SBENDMENOSA", "SKEYLOCKA", "SHEADPHONESA", "SFX1A", "SFX2A", "SFX3A", "SFXPAR2_1A",
    "SFXPAR1_1A", "SFXPAR1_2A", "SFXPAR1_4A", "SFXPAR1_8A", "SSAMPLER1A", "SSAMPLER2A",
    "SSAMPLER3A", "SSAMPLER4A", "SSAMPLER5A", "SSAMPLER6A", "SSAMPLERSTOPA", "SSAMPLERSELA",
    "SCUEB", "SPAUSEB", "SPLAYB", "SVINYLMODEB", "SSEARCHMODEB", "SFXMODEB", "SCUEMEMB", "SCUE1B",
    "SCUE2B", "SCUE3B", "SCUE4B", "SCUE5B", "SCUE6B", "SLOOPINB", "SLOOPOUTB", "SLOOPRELOOPB",
    "SLOP1_4B", "SLOP1_2B", "SLOOP1B", "SLOOP2B", "SLOOP4B", "SLOOP8B", "SLOOP16B", "SSYNCB",
    "SLOADB", "SREVB", "SBRAKEB", "SKILLBASSB", "SKILLMIDB", "SKILLHIGHB", "SBENDMASB",
    "SBENDMENOSB", "SKEYLOCKB", "SHEADPHONESB", "SFX1B", "SFX2B", "SFX3B", "SFXPAR2_1B",
    "SFXPAR1_1B", "SFXPAR1_2B", "SFXPAR1_4B", "SFXPAR1_8B", "SSAMPLER1B", "SSAMPLER2B",
    "SSAMPLER3B", "SSAMPLER4B", "SSAMPLER5B", "SSAMPLER6B", "SSAMPLERSTOPB", "SSAMPLERSELB",
    "SSELFX", "SSELSPL", "SSELCFG", "SSELMIX", "SSELAUTO", "SSELEXPLORER", "SSELPLAYLIST",
    "SSELGROUPS", "SSELCD", "SFXMIC1", "SFXMIC2", "SMICONAIR", "SMICTALKOVER", "SPOWER",
    "SLEDMETERA1", "SLEDMETERA2", "SLEDMETERA3", "SLEDMETERB1", "SLEDMETERB2", "SLEDMETERB3",
    "SAUTOLOOPA", "SAUTOLOOPB", "SPHONESSPLIT", "SSELFXA", "SSELCUEA", "SSELLOOPA", "SSELSAMA",
    "SSELFXB", "SSELCUEB", "SSELLOOPB", "SSELSAMB", "SSEL1TEMPOFXA", "SSEL1AUTOLOA",
    "SSEL1TEMPOFXB", "SSEL1AUTOLOB", "SSEL2CUEA", "SSEL2SAMA", "SSEL2CUEB", "SSEL2SAMB", "SSELTR1A",
    "SSELTR2A", "SSELTR3A", "SSELTR4A", "SSELTR5A", "SSELTR6A", "SSELTR1B", "SSELTR2B", "SSELTR3B",
    "SSELTR4B", "SSELTR5B", "SSELTR6B", "SSCUESAM1A", "SSCUESAM2A", "SSCUESAM3A", "SSCUESAM4A",
    "SSCUESAM5A", "SSCUESAM6A", "SSSAMCUE1A", "SSSAMCUE2A", "SSSAMCUE3A", "SSSAMCUE4A",
    "SSSAMCUE5A", "SSSAMCUE6A", "SSALOFX1A", "SSALOFX2A", "SSALOFX3A", "SSALOFX4A", "SSALOFX5A",
    "SSALOFX6A", "SSALOFX7A", "SSAFXLO1A", "SSAFXLO2A", "SSAFXLO3A", "SSAFXLO4A", "SSAFXLO5A",
    "SSCUESAM1B", "SSCUESAM2B", "SSCUESAM3B", "SSCUESAM4B", "SSCUESAM5B", "SSCUESAM6B",
    "SSSAMCUE1B", "SSSAMCUE2B", "SSSAMCUE3B", "SSSAMCUE4B", "SSSAMCUE5B", "SSSAMCUE6B", "SSALOFX1B",
    "SSALOFX2B", "SSALOFX3B", "SSALOFX4B", "SSALOFX5B", "SSALOFX6B", "SSALOFX7B", "SSAFXLO1B",
    "SSAFXLO2B", "SSAFXLO3B", "SSAFXLO4B", "SSAFXLO5B", "SCUEDELA", "SCUEDELB", "SAUTOLOOP_ONA",
    "SAUTOLOOP_ONB", "SDIREC", "SREC", "SSLOOPA", "SSLOOPA1", "SSLOOPA2", "SSLOOPA3", "SFCSELFA",
    "SFCSELCA", "SFCSELA1", "SFCSELA2", "SFCSELA3", "SSLOOPB", "SSLOOPB1", "SSLOOPB2", "SSLOOPB3",
    "SFCSELFB", "SFCSELCB", "SFCSELB1", "SFCSELB2", "SFCSELB3", "SSELDIRFILF", "SSELDIRFILD",
    "SSAUTOENABLE", "SBLANCOA0", "SBLANCOA1", "SBLANCOA2", "SBLANCOA3", "SBLANCOB0", "SBLANCOB1",
    "SBLANCOB2", "SBLANCOB3", "SLOOP32A", "SLOOP32B", "SPLAY_ONA", "SPLAY_ONB", "FIXEDA", "FIXEDB",
    "SHOTCUEA", "SHOTCUEB", "", "", "", "", "", "", "", "", "", "", "",
};

}  // namespace

namespace {

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9') return u - '0';
    if (u >= 'a' && u <= 'f') return u - 'a' + 10;
    if (u >= 'A' && u <= 'F') return u - 'A' + 10;
    return -1;
}

}  // namespace

std::optional<int> HexToByte(const QString& text)
{
    if (text.size() < 2) return std::nullopt;
    const int hi = hexDigit(text[0]), lo = hexDigit(text[1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    return hi * 16 + lo;
}

TControladora::TControladora(ControllerTables& form, ControllerSurface& surface, const QString& profile)
    : mmform(form), surface_(surface), profile_(profile)
{
    for (int i = 0; i < kInputCodes; ++i) {
        midiconst[size_t(i)] = QString::fromLatin1(kInputNames[i]);
        inputUpper_[size_t(i)] = upperAscii(midiconst[size_t(i)]);
    }
    for (int i = 0; i < kOutputCodes; ++i) {
        midiconstl[size_t(i)] = QString::fromLatin1(kOutputNames[i]);
        outputUpper_[size_t(i)] = upperAscii(midiconstl[size_t(i)]);
    }
}

QString TControladora::upperAscii(const QString& s)
{
    QString u = s;
    for (QChar& c : u)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) c = QChar(c.unicode() - 'a' + 'A');
    return u;
}

// the last code whose name matches, walking the whole table
template <size_t N>
static int lookup(const std::array<QString, N>& upper, const QString& name)
{
    const QString u = TControladora::upperAscii(name);
    int code = 0;
    for (size_t i = 0; i < N; ++i)
        if (upper[i] == u) code = int(i);
    return code;
}

int TControladora::damecontrol(const QString& name) const { return lookup(inputUpper_, name); }

int TControladora::damecontrolou(const QString& name) const { return lookup(outputUpper_, name); }

void TControladora::readRows(const QString* path, const QByteArray* data,
                             const std::function<void(const DefinitionRow&)>& each)
{
    XmlDocument doc;
    try {
        if (!(data ? doc.loadData(*data) : doc.loadFile(*path))) throw DefinitionRow::Error();
        XmlElement row = doc.root().firstChild("ROW");
        if (row.isNull()) throw DefinitionRow::Error();
        for (; !row.isNull(); row = row.nextSibling()) each(DefinitionRow(row));
    } catch (const DefinitionRow::Error&) {
        surface_.ShowMessage(QStringLiteral("XML Error...Not Loaded"));
    }
}

void TControladora::pause() const
{
    if (pauseMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
}
