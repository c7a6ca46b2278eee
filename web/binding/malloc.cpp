// The module's allocator, in place of wasi-libc's larger one: the simulator
// allocates nothing, and the C library's streams a few buffers a run, so
// blocks of a power-of-two size, each size with its list of freed blocks to
// reuse, keep the module's memory at the peak of one run however many run.

#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" unsigned char __heap_base; // where wasm-ld puts the heap

namespace {

constexpr size_t head = 16; // before each block: its size class; keeps 16-byte alignment
constexpr size_t page = 65536;
constexpr int classes = 32;

void *freed[classes]; // per class, the freed blocks chained through their first word
uintptr_t top;        // the first byte never handed out

int class_of(size_t n)
{
    int c = 4;
    while ((size_t{1} << c) < n)
        c++;
    return c;
}

// Takes `n` more bytes from the top of the heap, growing the memory as needed.
void *take(size_t n)
{
    if (top == 0)
        top = reinterpret_cast<uintptr_t>(&__heap_base + head - 1) & ~uintptr_t{head - 1};
    uintptr_t end = top + n;
    size_t have = __builtin_wasm_memory_size(0) * page;
    if (end > have && __builtin_wasm_memory_grow(0, (end - have + page - 1) / page) == SIZE_MAX)
        return nullptr;
    void *block = reinterpret_cast<void *>(top);
    top = end;
    return block;
}

} // namespace

extern "C" {

void *malloc(size_t n)
{
    if (n > (size_t{1} << (classes - 2)))
        return nullptr;
    int c = class_of(n);
    unsigned char *block;
    if (freed[c] != nullptr) {
        block = static_cast<unsigned char *>(freed[c]) - head;
        std::memcpy(&freed[c], freed[c], sizeof(void *));
    } else {
        block = static_cast<unsigned char *>(take(head + (size_t{1} << c)));
        if (block == nullptr)
            return nullptr;
        *reinterpret_cast<int *>(block) = c;
    }
    return block + head;
}

void free(void *p)
{
    if (p == nullptr)
        return;
    int c = *reinterpret_cast<int *>(static_cast<unsigned char *>(p) - head);
    std::memcpy(p, &freed[c], sizeof(void *));
    freed[c] = p;
}

void *calloc(size_t count, size_t size)
{
    if (size != 0 && count > SIZE_MAX / size)
        return nullptr;
    void *p = malloc(count * size);
    if (p != nullptr)
        std::memset(p, 0, count * size);
    return p;
}

void *realloc(void *p, size_t n)
{
    if (p == nullptr)
        return malloc(n);
    int c = *reinterpret_cast<int *>(static_cast<unsigned char *>(p) - head);
    if (n <= (size_t{1} << c))
        return p;
    void *q = malloc(n);
    if (q != nullptr) {
        std::memcpy(q, p, size_t{1} << c);
        free(p);
    }
    return q;
}

} // extern "C"
