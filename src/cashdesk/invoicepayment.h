// A receipt "O" that pays an issued invoice, an expenditure "D" that pays a received one: the
// invoice chosen and the document filled from it, the payment booked into the invoice when the
// new document is saved, the entries the posting takes for it and the lines of its voucher.
//
// Rates: A converts the invoice. For an invoice in crowns it is the crowns for the series' unit
// count of the series currency (the series rate is its preset); for a foreign invoice the crowns
// for one unit of the invoice currency (the invoice's own rate is its preset; a HUF rate above 1
// is taken as typed per 100 units). B, asked only when a foreign invoice's currency is not the
// series currency, is the crowns for the series' unit count of the series currency; 0 otherwise.
// The document's rate is always for the series' unit count, so the form's own arithmetic on it
// stays right, and the crowns computed at the choice are kept (saving does not recompute them).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "accounting/entries.h"
#include "cashdesk/document.h"
#include "invoicing/invoices.h"

namespace pz::cashdesk {

class KrokUkladani;

// What the choice hands to the save: kept only for a new document.
struct VazbaFaktury {
  invoicing::Registr registr = invoicing::Registr::VydaneKc;
  std::string kod;            // the invoice series code
  std::string soubor;         // its invoice file
  std::string souborPlateb;   // its payment file
  std::int32_t zaznam = 0;    // the invoice's record
  std::string cisloFaktury;   // the invoice number read at the choice (checked again at the save)
  double kurzA = 0, kurzB = 0;
  bool posledni = false;      // the cashier called a partial payment the last one
};

// What booking the payment found and did, for the posting and the voucher.
struct PlatbaDokladu {
  bool vydana = false, cizi = false;
  std::string ucet, stredisko;  // the invoice's receivable or payable account
  std::string menaFaktury;
  Penize celkemKc = 0, celkemVal = 0;  // the invoice totals
  Penize predtimKc = 0;                // crowns paid on the invoice before this document
  Penize placenoKc = 0;                // crowns paid by this document
  Penize placenoValFaktury = 0;        // the same in the invoice currency (foreign invoice)
  double kurzFaktury = 0;              // the invoice's own rate, crowns for one unit
  double kurzA = 0;                    // the rate the payment was converted at
  bool posledni = false;               // the invoice is settled by this payment
};

// An invoice is paid already when its paid amount reaches its total (absolute values; in the
// currency for a foreign invoice), or when it carries the paid mark.
bool FakturaZaplacena(const invoicing::Faktura& f, invoicing::Registr r);

// Fills the document of kind `druh` ("O" or "D") from the invoice at rates A and B (see above);
// `dnes` is the payment date (DDMMYY). Nullopt when a rate is not above 0 or an amount does not
// fit its field; the document is then unchanged.
std::optional<VazbaFaktury> VyplnDoklad(PokladniDoklad& d, const invoicing::Faktura& f, invoicing::Registr r,
                                        const std::string& kod, std::int32_t zaznam, const RadaPokladny& rada,
                                        double kurzA, double kurzB, const std::string& dnes);

// Books the saved document's payment into the invoice as it is stored now: payment date, paid
// amounts, the paid marks, and the payment record to append. Nullopt when the invoice is no
// longer the one chosen (another number at that record).
struct ZapocteniPlatby {
  invoicing::Faktura faktura;
  invoicing::Platba platba;
  PlatbaDokladu platbaDokladu;
};
std::optional<ZapocteniPlatby> ZapoctiPlatbu(const invoicing::Faktura& f, const VazbaFaktury& v,
                                             const PokladniDoklad& d, const RadaPokladny& rada);
// What remains to pay once this document is booked, in crowns (a foreign invoice: in its
// currency); 0 or less when it settles the invoice.
Penize ZbyvaZaplatit(const invoicing::Faktura& f, const VazbaFaktury& v, const PokladniDoklad& d);

// The entries of the paid invoice for the posting, besides the cash entry (which holds
// `placenoKc` on the cash account): "O" credits the receivable account, "D" debits the payable
// one, the other side "000000"; a foreign invoice's exchange difference goes to 663000 (a
// gain, credit) or 563000 (a loss, debit). Amounts in ten-thousandths, whole haléře. With the
// cash entry they balance, except the last payment of an invoice in crowns, whose amount is
// the rest of the invoice: that difference is the posting's rounding entry.
std::vector<accounting::tUcZapis> ZapisyPlatby(const PokladniDoklad& d, const PlatbaDokladu& p);
// The document reference of a paying document's entries: its number `cislo`, blanks removed,
// "0" on the left to 10.
std::string ParovaciUdajPlatby(const PokladniDoklad& d);
// The exchange difference of a payment in crowns: a gain above 0, a loss below (0 for an
// invoice in crowns).
Penize KurzovyRozdil(const PokladniDoklad& d, const PlatbaDokladu& p);

// The amount block of the voucher of an "O" or "D" document: the rate line (blank when the
// rate is 0) and "Celkem za dodávku" with the invoice total.
std::vector<std::string> RadkyPlatbyDokladu(const PokladniDoklad& d, const RadaPokladny& rada, const PlatbaDokladu& p);

// The choice of the paid invoice in the entry form: the series lists, the invoice list, the
// checks of an invoice paid already, the rate dialogs. The document is filled on success.
std::optional<VazbaFaktury> VyberFakturu(const std::string& druh, PokladniDoklad& d, const RadaPokladny& rada);

// The save step that books the payment of a new "O" or "D" document.
std::unique_ptr<KrokUkladani> KrokPlatbyFaktury();

}  // namespace pz::cashdesk
