#include "import/poetryreader.h"

#include <initializer_list>

#include <nlohmann/json.hpp>

#include "import/importerror.h"
#include "import/sourcetext.h"

using nlohmann::json;

namespace {

// U+3000, between an author and the source of a piece.
constexpr const char* kBylineSeparator = "\xE3\x80\x80";

std::string EntryName(const std::string& where, size_t index) { return where + ": entry " + std::to_string(index + 1); }

const json* Field(const json& object, const char* name) {
    const auto found = object.find(name);
    return found == object.end() || found->is_null() ? nullptr : &*found;
}

// A text field; empty when absent or null.
std::string Text(const json& object, const char* name, const std::string& where) {
    const json* value = Field(object, name);
    if (!value) return {};
    if (!value->is_string()) throw CImportError(where + ": \"" + name + "\" is not text");
    return value->get<std::string>();
}

std::string FirstText(const json& object, std::initializer_list<const char*> names, const std::string& where) {
    for (const char* name : names) {
        std::string text = Text(object, name, where);
        if (!text.empty()) return text;
    }
    return {};
}

// A field holding one text or a list of texts (nulls in the list are skipped).
void AppendTexts(std::vector<std::string>& out, const json& object, const char* name, const std::string& where) {
    const json* value = Field(object, name);
    if (!value) return;
    if (value->is_string()) {
        out.push_back(value->get<std::string>());
        return;
    }
    if (!value->is_array()) throw CImportError(where + ": \"" + name + "\" is neither text nor a list of texts");
    for (const auto& item : *value) {
        if (item.is_null()) continue;
        if (!item.is_string()) throw CImportError(where + ": \"" + name + "\" holds something other than text");
        out.push_back(item.get<std::string>());
    }
}

// The "paragraphs" of a piece: texts, or parts of a poem in several parts,
// each an object with its "subchapter" (其一, 其二, ...) and "paragraphs".
void AppendParagraphs(std::vector<std::string>& out, const json& object, const std::string& where) {
    const json* value = Field(object, "paragraphs");
    if (!value || !value->is_array()) return AppendTexts(out, object, "paragraphs", where);
    for (size_t i = 0; i < value->size(); ++i) {
        const json& item = (*value)[i];
        if (item.is_object()) {
            const std::string part = where + ": part " + std::to_string(i + 1);
            if (std::string title = Text(item, "subchapter", part); !title.empty()) out.push_back(std::move(title));
            AppendTexts(out, item, "paragraphs", part);
        } else if (item.is_string()) {
            out.push_back(item.get<std::string>());
        } else if (!item.is_null()) {
            throw CImportError(where + ": \"paragraphs\" holds something other than text");
        }
    }
}

const json& RequireObject(const json& entry, const std::string& where) {
    if (!entry.is_object()) throw CImportError(where + ": expected a JSON object");
    return entry;
}

// A "content" field that holds entries (objects) rather than texts.
bool HoldsEntries(const json& object) {
    const json* content = Field(object, "content");
    return content && content->is_array() && !content->empty() && content->front().is_object();
}

}  // namespace

std::vector<SourcePiece> CPoetryReader::ReadPieces(const json& document, const std::vector<std::string>& groupFields) const {
    if (document.is_object()) return {ReadParagraphs(document, m_where)};
    if (!document.is_array()) throw CImportError(m_where + ": expected a list of poems");
    std::vector<SourcePiece> pieces;
    pieces.reserve(document.size());
    for (size_t i = 0; i < document.size(); ++i) pieces.push_back(ReadPiece(document[i], EntryName(m_where, i), groupFields));
    return pieces;
}

std::vector<SourceDivision> CPoetryReader::ReadDivisions(const json& document) const {
    std::vector<SourceDivision> divisions;
    if (document.is_array()) {
        for (size_t i = 0; i < document.size(); ++i) divisions.push_back(ReadDivision(document[i], EntryName(m_where, i)));
        return divisions;
    }
    if (!document.is_object()) throw CImportError(m_where + ": expected a JSON object or list");
    if (Field(document, "preface")) {
        SourceDivision preface{"\xE5\xBA\x8F", {}};  // 序
        AppendTexts(preface.pieces.emplace_back().lines, document, "preface", m_where);
        divisions.push_back(std::move(preface));
    }
    if (HoldsEntries(document)) {
        const json& content = document["content"];
        for (size_t i = 0; i < content.size(); ++i) divisions.push_back(ReadDivision(content[i], EntryName(m_where, i)));
    } else if (Field(document, "paragraphs")) {
        divisions.push_back(ReadDivision(document, m_where));
    } else if (divisions.empty()) {
        throw CImportError(m_where + ": no text found (no \"paragraphs\" or \"content\")");
    }
    return divisions;
}

SourcePiece CPoetryReader::ReadPiece(const json& entry, const std::string& where,
                                     const std::vector<std::string>& groupFields) const {
    RequireObject(entry, where);
    SourcePiece piece;
    piece.heading = FirstText(entry, {"title", "rhythmic", "chapter"}, where);
    piece.byline = CSourceText::CleanLine(Text(entry, "author", where));
    if (const std::string source = CSourceText::CleanLine(Text(entry, "source", where)); !source.empty())
        piece.byline += piece.byline.empty() ? source : kBylineSeparator + source;
    piece.bylineNote = Text(entry, "biography", where);
    AppendParagraphs(piece.lines, entry, where);
    for (const char* name : {"para", "content"}) AppendTexts(piece.lines, entry, name, where);
    for (const char* name : {"notes", "comment", "prologue"}) AppendTexts(piece.notes, entry, name, where);
    for (const auto& field : groupFields) piece.groupKeys.push_back(Text(entry, field.c_str(), where));
    return piece;
}

SourcePiece CPoetryReader::ReadParagraphs(const json& entry, const std::string& where) const {
    RequireObject(entry, where);
    SourcePiece piece;
    for (const char* name : {"paragraphs", "content"}) AppendTexts(piece.lines, entry, name, where);
    return piece;
}

SourceDivision CPoetryReader::ReadDivision(const json& entry, const std::string& where) const {
    RequireObject(entry, where);
    SourceDivision division;
    division.name = FirstText(entry, {"type", "title", "chapter"}, where);
    if (!HoldsEntries(entry)) {
        division.pieces.push_back(ReadParagraphs(entry, where));
        return division;
    }
    const json& content = entry["content"];
    for (size_t i = 0; i < content.size(); ++i) division.pieces.push_back(ReadPiece(content[i], EntryName(where, i), {}));
    return division;
}
