// CPoetryReader: reads the pieces and divisions of one parsed JSON file of the
// chinese-poetry package. Fields are found by name (title, rhythmic, chapter,
// author, paragraphs, content, notes, ...); a field that is present with the
// wrong type raises CImportError naming the file and the entry.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "import/sourcemodel.h"

class CPoetryReader {
public:
    // where names the file in messages.
    explicit CPoetryReader(std::string where) : m_where(std::move(where)) {}

    // A list of poems: one piece per entry, each carrying the values of
    // groupFields. A single text (an object with "paragraphs") is one piece
    // without a title.
    std::vector<SourcePiece> ReadPieces(const nlohmann::json& document,
                                        const std::vector<std::string>& groupFields = {}) const;

    // The divisions the file itself makes: a list of chapters (one division
    // each), or an object with an optional "preface" and a "content" list of
    // divisions that hold either pieces or paragraphs, or a single text.
    std::vector<SourceDivision> ReadDivisions(const nlohmann::json& document) const;

private:
    SourcePiece ReadPiece(const nlohmann::json& entry, const std::string& where,
                          const std::vector<std::string>& groupFields) const;
    SourcePiece ReadParagraphs(const nlohmann::json& entry, const std::string& where) const;
    SourceDivision ReadDivision(const nlohmann::json& entry, const std::string& where) const;

    std::string m_where;
};
