// The VAT supplements of a whole series: their completion for documents that have none (Ctrl+F6)
// and the VAT listing "PZ_DPH" of a period beside the documents (Ctrl+A).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cashdesk/document.h"
#include "cashdesk/vatsupplement.h"

namespace pz::cashdesk {

class TfPZPokl;

// The supplement completion of the documents `doklady` of series `rada` on the supplements as
// stored (`stare`, a blank one for each missing): every receipt or expenditure whose supplement is
// empty and whose delivery date lies from 1 May 2004 gets the lines of its period (410, or 320
// and 220, to 2008; 020, or 044 and 003, from 2009) with the paid crowns as base. With `smazat`
// the stored supplements count as empty. Every other supplement stays byte for byte.
std::vector<DodatekDph> DoplneneDodatky(const std::vector<PokladniDoklad>& doklady, const std::string& rada,
                                        const std::vector<DodatekDph>& stare, bool smazat);

// Ctrl+F6: both questions first, then, under the series' locks, the new supplement file written
// beside the old one and put in its place whole; the old file stays until then.
void DoplnDodatkyPokladny(TfPZPokl& okno);

enum class VyberOpisu { Vse, JenRozdily, JenRadkyRozdilu };

// Writes the VAT listing of the documents delivered od..do_ (DDMMYY) into the open report.
void PisOpisDph(const std::vector<PokladniDoklad>& doklady, const std::vector<DodatekDph>& dodatky,
                const std::string& rada, std::string_view od, std::string_view do_, VyberOpisu vyber);

// Ctrl+A: the period, what to print, the report "PZ_DPH" and the viewer.
void OpisDphPokladny(TfPZPokl& okno);

}  // namespace pz::cashdesk
