// One run of the program against the fake with N values, 24 of them drives,
// for callgrind to count the instructions that the program itself spends.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fake/fake_platform.h"
#include "platform/win32_values.h"

int main(int argc, char** argv) {
  using namespace velistra::testing;
  const long count = argc == 2 ? std::strtol(argv[1], nullptr, 10) : 0;
  if (count < 24) {
    std::fputs("usage: bench_scaling VALUES (at least 24)\n", stderr);
    return 2;
  }
  std::vector<FakeValue> values;
  for (char letter = 'A'; values.size() < 24; ++letter) {
    if (letter == 'C') continue;
    values.push_back({std::string{letter, ':'}, velistra::win32::kRegSz, Sz("C:\\Bench\\Target")});
  }
  for (long i = 24; i < count; ++i) {
    values.push_back({"Other" + std::to_string(i), velistra::win32::kRegSz, Sz("E:\\Folder")});
  }
  FakePlatform fake;
  fake.SetMappings(values);
  return static_cast<int>(RunProgram(fake));
}
