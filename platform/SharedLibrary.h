#pragma once
// A shared library of the program folder, loaded by file name at its first use and kept
// loaded for the life of the program.
#include <QString>

class SharedLibrary {
  public:
    explicit SharedLibrary(const char* fileName) : fileName(fileName) {}
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    // Loads ProgramFolder()/fileName unless it is loaded; false with the loader's message.
    bool Load(QString& retError);

    // The address of an exported symbol, loading the library first; nullptr with the loader's
    // message.
    void* Resolve(const char* name, QString& retError);

  private:
    const char* fileName;
    void* handle = nullptr;
};

// A function of a SharedLibrary, bound by name at the first Get() that finds it.
template <typename Function> class LibraryFunction {
  public:
    LibraryFunction(SharedLibrary& library, const char* name) : library(library), name(name) {}

    // nullptr while the library or the function cannot be bound.
    Function Get() {
        if (!function) {
            QString error;
            function = reinterpret_cast<Function>(library.Resolve(name, error));
        }
        return function;
    }

  private:
    SharedLibrary& library;
    const char* name;
    Function function = nullptr;
};
