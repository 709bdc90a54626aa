// The player throws and catches nothing, so it is built without exceptions.
// What the C++ runtime would report by throwing (memory exhausted, a string
// or vector beyond its largest size) could only end the program, since nothing
// catches it: here it ends it at once, with the abort an uncaught exception
// leads to. Linked statically, the runtime's own versions of these functions
// would bring its exception classes, copy-on-write strings, unwinder,
// demangler and threads library: more than half of the player's bytes.
// Windows programs built with GCC only (the names below are libstdc++'s).

#include <cstdlib>
#include <new>

namespace {

[[noreturn]] void outOfMemory() { std::abort(); }

void* allocate(std::size_t size) noexcept { return std::malloc(size == 0 ? 1 : size); }

}  // namespace

void* operator new(std::size_t size) {
    if (void* block = allocate(size)) return block;
    outOfMemory();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }

// Where the standard library's inline code would throw.
namespace std {
void __throw_bad_alloc() { outOfMemory(); }
void __throw_bad_array_new_length() { outOfMemory(); }
void __throw_length_error(const char*) { std::abort(); }
void __throw_logic_error(const char*) { std::abort(); }
void __throw_out_of_range(const char*) { std::abort(); }
void __throw_out_of_range_fmt(const char*, ...) { std::abort(); }
void __throw_invalid_argument(const char*) { std::abort(); }
void __throw_bad_function_call() { std::abort(); }
}  // namespace std
