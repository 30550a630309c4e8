// Texts with value semantics: variables own blocks in the text heap, and every
// produced text is built in one shared, growable workspace at a caller-given offset.
#pragma once
#include <stdint.h>

// A text variable: null (empty) or the owner of one block of length + 5 bytes.
typedef char* TextVar;

void TextStart();
void TextEnd();

// The workspace. Offsets stay valid across growth; addresses may not.
char* WorkspaceReserve(int32_t n, uint32_t at);
void WorkspaceGiveBack(uint32_t k);
uint32_t WorkspacePosition();
void WorkspacePositionSet(uint32_t offset);
char* WorkspaceAt(uint32_t offset);
uint32_t WorkspaceCapacity();

void TextAssign(TextVar* variable, const char* text);
void TextInit(TextVar* variable, const char* text);
void TextStore(TextVar* variable, uint32_t saved);
void TextRelease(char* block);

void TextAppend(const char* text);
int TextEqual(const char* a, const char* b);
uint32_t TextLength(const char* text);
void TextLeft(const char* text, int32_t n, uint32_t at);
void TextMid(const char* text, int32_t start, int32_t length, uint32_t at);
void TextMid(const char* text, int32_t start, uint32_t at);
void TextSpace(int32_t n, uint32_t at);
int64_t TextToInteger(const char* text);
void IntegerToText(int64_t value, uint32_t at);

// A procedure's local text variable, released on every way out.
class TextOwner {
public:
    TextOwner() = default;
    explicit TextOwner(const char* text) { TextInit(&block_, text); }
    TextOwner(const TextOwner&) = delete;
    TextOwner& operator=(const TextOwner&) = delete;
    ~TextOwner() { TextRelease(block_); }
    const char* get() const { return block_ ? block_ : ""; }
    TextVar* slot() { return &block_; }
private:
    TextVar block_ = nullptr;
};

// An expression evaluated from a noted offset: the result is whatever the
// workspace holds between that offset and the current position.
class TextExpression {
public:
    TextExpression() : start_(WorkspacePosition()) {}
    TextExpression(const TextExpression&) = delete;
    TextExpression& operator=(const TextExpression&) = delete;
    uint32_t start() const { return start_; }
    void storeInto(TextVar* variable) { TextStore(variable, start_); }
private:
    uint32_t start_;
};
