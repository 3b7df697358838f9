#include "stringprovider/texts.h"

namespace {

struct Text {
    ULONG language;  // primary language identifier
    ULONG id;
    const WCHAR* text;
};

constexpr ULONG kGerman = 0x07;
constexpr ULONG kFrench = 0x0C;

constexpr Text kTexts[] = {
    {kGerman, 38200, u"Fehler"},
    {kGerman, 38201,
        u"Das Dialogfeld zum Formatieren des Datentr\u00e4gers kann nicht ge\u00f6ffnet werden.\n\n"
        u"\u00d6ffnen Sie 'Arbeitsplatz' und formatieren Sie den Datentr\u00e4ger von Hand.\n\n"},
    {kGerman, 38202, u"%sLegen Sie als Datentr\u00e4gerbezeichnung fest: '%s'"},
    {kGerman, 38203, u"%sLassen Sie die Datentr\u00e4gerbezeichnung leer!%s"},
    {kFrench, 38200, u"Erreur"},
    {kFrench, 38201,
        u"Impossible d'ouvrir la bo\u00eete de dialogue de formatage du disque.\n\n"
        u"Ouvrez 'Poste de travail' et formatez le disque manuellement.\n\n"},
    {kFrench, 38202, u"%sNom de volume \u00e0 donner : '%s'"},
    {kFrench, 38203, u"%sLaissez le nom de volume vide !%s"},
};

}  // namespace

const WCHAR* FindTranslatedText(ULONG locale, ULONG id)
{
    ULONG language = locale & 0x3FF;
    for (const auto& t : kTexts) {
        if (t.language == language && t.id == id)
            return t.text;
    }
    return nullptr;
}
