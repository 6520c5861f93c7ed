// The station settings table "master.job": a binary file of 200 entries of 18 bytes, no header.
// Each entry is a key and a value, each a short string of 8 (a length byte and 8 cp1250 bytes,
// unused bytes zero); a key length of 0 marks a free entry. Keys are compared exactly (case
// matters) and are at most 8 characters; values come back without trailing blanks. A file of
// 1818 bytes is the earlier 101-entry size of the same table and is padded with zeros to 3600
// bytes when it is first read.
//
// The table of the working directory holds the settings of one workstation; the one of the data
// root holds installation-wide switches (SERVER1, SERVER2, FJ, GDPR, UCROK, UCDAT, ...). CtiJob
// and PisJob use the working directory's table when it exists with at least 2 bytes, otherwise
// the data root's; CtiJobV and PisJobV work on the table of a given directory.
//
// A write holds the file open denying other writers for its read-modify-write, so that two
// stations never lose each other's change; a table held by another station is waited for a few
// times, then the write is given up with a message and the stored table is left as it was.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace pz::storage {

inline constexpr size_t kJobPolozek = 200;
inline constexpr size_t kJobPolozka = 18;
inline constexpr size_t kJobVelikost = kJobPolozek * kJobPolozka;  // 3600
inline constexpr size_t kJobStaraVelikost = 1818;
inline constexpr size_t kJobSirka = 8;  // characters of a key and of a value

// Keys longer than 8 characters are cut to 8 by every operation, so that a long key is found
// again instead of taking a new entry at each write.
std::string CtiJob(std::string_view klic);
// Stores the value (trailing blanks removed, cut to 8); an empty or all-blank value frees the
// key's entry. False when nothing could be stored: the table is busy or cannot be opened or
// written (message "Uz: 01 Soub: Master.job err    32"), or it is full (message "Tabulka
// master.job je plná").
bool PisJob(std::string_view klic, std::string_view hodnota);

// The same on directory + "master.job" (the caller passes the data root), never from memory.
// CtiJobV gives empty text for a table shorter than 2 bytes or missing. PisJobV creates the table
// only when the file does not exist; any other failure leaves it untouched.
std::string CtiJobV(std::string_view adresar, std::string_view klic);
bool PisJobV(std::string_view adresar, std::string_view klic, std::string_view hodnota);
// CtiJobV for a caller that must tell "not set" from "could not be read": 0 with the value (empty
// for a key that is not set, or a table that is missing or shorter than 2 bytes), or the I/O
// code of the failed read.
int CtiJobVKontrolou(std::string_view adresar, std::string_view klic, std::string& hodnota);
// A read-modify-write of one key under that same deny-write open: `zmena` gets the stored value
// and gives the new one, so that a counter kept in the table never loses a step when two
// stations change it at once. False as for PisJobV.
bool UpravJobV(std::string_view adresar, std::string_view klic,
               const std::function<std::string(const std::string&)>& zmena);

// During start-up the table of CtiJob is read from disk once and then served from memory (PisJob
// keeps that copy current); after KonecStartuJob every CtiJob reads the file again, so that
// changes of the system parameters window or of other processes are seen at once.
void ZacatekStartuJob();
void KonecStartuJob();

// The file CtiJob and PisJob use now.
std::string SouborJob();

}  // namespace pz::storage
