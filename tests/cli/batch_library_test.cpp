// The batch tool's `batch` command over small libraries of tiny pictures, run as the real
// executable: sharding, naming, resuming, failures, interruption and recipe files.
#include "core/image.h"
#include "formats/file_save.h"
#include "formats/file_types.h"

#include "batch_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const std::vector<std::string> kChain = {"--", "resize", "width=12", "+", "sharpen"};

std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

std::string read_all(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

// Every regular file below `dir`, relative, with its bytes.
std::map<std::string, std::string> tree(const std::string& dir)
{
    std::map<std::string, std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(dir))
        if (e.is_regular_file())
            out[e.path().lexically_relative(dir).string()] = read_all(e.path().string());
    return out;
}

// Names whose bytes differ between two trees, or that only one of them holds.
std::string differences(const std::map<std::string, std::string>& a, const std::map<std::string, std::string>& b)
{
    std::string out;
    for (const auto& [name, bytes] : a)
        if (!b.count(name) || b.at(name) != bytes)
            out += name + " ";
    for (const auto& [name, bytes] : b)
        if (!a.count(name))
            out += name + " ";
    return out;
}

std::vector<std::string> with(std::vector<std::string> args, const std::vector<std::string>& more)
{
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

} // namespace

class BatchLibrary : public BatchTest {
protected:
    // A 24x16 colour picture whose pixels depend on `seed`, saved as `name` below the test folder.
    void picture(const std::string& name, int seed)
    {
        mv::Image img;
        ASSERT_EQ(mv::image_alloc(img, mv::IMAGE_COLOR, 24, 16, 72), 0);
        for (int y = 0; y < img.height; ++y)
            for (int x = 0; x < img.width * 3; ++x)
                img.row(y)[x] = std::uint8_t((x * 7 + y * 13 + seed * 31) ^ (x * y));
        fs::create_directories(fs::path(file(name)).parent_path());
        ASSERT_EQ(mv::file_save_path(file(name), mv::save_filter_from_extension(name), img), 0);
    }

    // lib/ holding seven pictures in three folders and a file that is not a picture.
    void library()
    {
        const char* names[] = {"lib/a/1.png", "lib/a/2.png", "lib/b/3.png", "lib/b/c/4.png",
                               "lib/5.png",   "lib/6.png",   "lib/7.bmp"};
        int seed = 0;
        for (const char* n : names)
            picture(n, ++seed);
        std::ofstream(file("lib/notes.txt")) << "not a picture";
    }
};

TEST_F(BatchLibrary, ShardsCoverEveryInputOnceAndMatchOneRun)
{
    library();
    const RunResult all = run(with({"batch", "--list", "--recursive", "--out", file("o"), file("lib")}, kChain));
    ASSERT_EQ(all.status, 0) << all.err;
    const std::vector<std::string> everything = lines_of(all.out);
    ASSERT_EQ(everything.size(), 7u);
    EXPECT_TRUE(std::is_sorted(everything.begin(), everything.end()));

    for (int n = 1; n <= 7; ++n) {
        std::multiset<std::string> seen;
        size_t smallest = everything.size(), largest = 0;
        for (int k = 0; k < n; ++k) {
            const std::string shard = std::to_string(k) + "/" + std::to_string(n);
            const RunResult r = run(with({"batch", "--list", "--recursive", "--shard", shard, "--out", file("o"),
                                          file("lib")},
                                         kChain));
            ASSERT_EQ(r.status, 0) << shard;
            const std::vector<std::string> part = lines_of(r.out);
            seen.insert(part.begin(), part.end());
            smallest = std::min(smallest, part.size());
            largest = std::max(largest, part.size());
        }
        EXPECT_EQ(std::vector<std::string>(seen.begin(), seen.end()), everything) << "N=" << n;
        EXPECT_LE(largest - smallest, 1u) << "N=" << n;
    }

    // One process at a time, four at a time and three shards write the same bytes.
    const auto batch = [&](const std::string& out, std::vector<std::string> extra) {
        const RunResult r = run(with(with({"batch", "--recursive", "--out", file(out), file("lib")}, extra), kChain));
        EXPECT_EQ(r.status, 0) << r.err;
    };
    batch("one", {"--jobs", "1"});
    batch("four", {"--jobs", "4"});
    for (int k = 0; k < 3; ++k)
        batch("shards", {"--jobs", "2", "--shard", std::to_string(k) + "/3"});
    const auto expected = tree(file("one"));
    EXPECT_EQ(expected.size(), 7u);
    EXPECT_EQ(differences(tree(file("four")), expected), "");
    EXPECT_EQ(differences(tree(file("shards")), expected), "");
}

TEST_F(BatchLibrary, NamePatterns)
{
    library();
    struct Case {
        std::vector<std::string> options;
        std::set<std::string> outputs;
    };
    const std::vector<Case> cases = {
        {{}, {"a/1.png", "a/2.png", "b/3.png", "b/c/4.png", "5.png", "6.png", "7.bmp"}},
        {{"--format", "jpeg"}, {"a/1.jpg", "a/2.jpg", "b/3.jpg", "b/c/4.jpg", "5.jpg", "6.jpg", "7.jpg"}},
        {{"--name", "{n}-{name}.{ext}.tif"},
         {"1-5.png.tif", "2-6.png.tif", "3-7.bmp.tif", "4-1.png.tif", "5-2.png.tif", "6-3.png.tif", "7-4.png.tif"}},
        {{"--name", "{folder}/x{name}", "--format", "tiff"},
         {"a/x1.tif", "a/x2.tif", "b/x3.tif", "b/c/x4.tif", "x5.tif", "x6.tif", "x7.tif"}},
    };
    int run_number = 0;
    for (const Case& c : cases) {
        const std::string out = file("names" + std::to_string(++run_number));
        const RunResult r = run(with(with({"batch", "--recursive", "--quiet", "--out", out, file("lib")}, c.options), kChain));
        ASSERT_EQ(r.status, 0) << r.err;
        std::set<std::string> got;
        for (const auto& [name, bytes] : tree(out))
            got.insert(name);
        EXPECT_EQ(got, c.outputs) << c.options.back();
    }

    // Files named directly, and a pattern, go straight into the output folder.
    const RunResult direct = run(with({"batch", "--out", file("direct"), file("lib/a/1.png"), file("lib/b/*.png")}, kChain));
    ASSERT_EQ(direct.status, 0) << direct.err;
    EXPECT_TRUE(fs::exists(file("direct/1.png")));
    EXPECT_TRUE(fs::exists(file("direct/3.png")));

    // Faults found before any file is touched: usage errors.
    const std::vector<std::pair<std::vector<std::string>, std::string>> faults = {
        {{"--name", "{bogus}.png"}, "unknown field {bogus}"},
        {{"--name", "{name.png"}, "unclosed '{'"},
        {{"--name", "{ext}.png"}, "would both be written to"},
        {{"--name", "{name}"}, "cannot tell the format"},
        {{"--name", "{folder}/{name}.jpg", "--format", "tiff"}, "TIFF files must have an extension"},
    };
    for (const auto& [options, message] : faults) {
        const RunResult r = run(with(with({"batch", "--recursive", "--out", file("bad"), file("lib")}, options), kChain));
        EXPECT_EQ(r.status, 2) << message;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
    }
    EXPECT_FALSE(fs::exists(file("bad")));
    // An output folder inside the library is not read back as input by the next run.
    for (int pass = 0; pass < 2; ++pass) {
        const RunResult inside = run(with({"batch", "--recursive", "--list", "--out", file("lib/web"), file("lib")}, kChain));
        ASSERT_EQ(run(with({"batch", "--recursive", "--out", file("lib/web"), file("lib")}, kChain)).status, 0);
        EXPECT_EQ(lines_of(inside.out).size(), 7u);
    }
    fs::remove_all(file("lib/web"));
    const RunResult overwrite = run(with({"batch", "--out", file("lib/a"), file("lib/a")}, kChain));
    EXPECT_EQ(overwrite.status, 2);
    EXPECT_NE(overwrite.err.find("would overwrite its own input"), std::string::npos);
}

TEST_F(BatchLibrary, UsageErrors)
{
    picture("p.png", 1);
    const std::vector<std::vector<std::string>> cases = {
        {"batch", file("p.png"), "--", "sharpen"},
        {"batch", "--out", file("o"), "--", "sharpen"},
        {"batch", "--out", file("o"), file("p.png")},
        {"batch", "--out", file("o"), file("p.png"), "--recipe", file("r"), "--", "sharpen"},
        {"batch", "--out", file("o"), file("p.png"), "--shard", "3/3", "--", "sharpen"},
        {"batch", "--out", file("o"), file("p.png"), "--shard", "1", "--", "sharpen"},
        {"batch", "--out", file("o"), file("p.png"), "--jobs", "0", "--", "sharpen"},
        {"batch", "--out", file("o"), file("p.png"), "--memory", "lots", "--", "sharpen"},
        {"batch", "--out", file("o"), file("p.png"), "--quality", "101", "--", "sharpen"},
        {"batch", "--out", file("o"), file("nothing*.png"), "--", "sharpen"},
        {"batch", "--out", file("o"), file("p.png"), "--", "sharpen", "radius=99"},
        {"batch", "--out", file("o"), file("p.png"), "--bogus", "--", "sharpen"},
    };
    for (const auto& args : cases)
        EXPECT_EQ(run(args).status, 2) << args[args.size() - 3];
    EXPECT_FALSE(fs::exists(file("o")));
}

TEST_F(BatchLibrary, SkipExistingRedoesOnlyStaleOutputs)
{
    library();
    const std::vector<std::string> base = {"batch", "--recursive", "--out", file("o"), "--log", file("log"),
                                           "--skip-existing", file("lib")};
    ASSERT_EQ(run(with(base, kChain)).status, 0);
    // One input changes after its output was written.
    const auto then = fs::last_write_time(file("o/b/3.png"));
    fs::last_write_time(file("lib/b/3.png"), then + std::chrono::seconds(5));
    fs::remove(file("log"));
    const RunResult again = run(with(base, kChain));
    ASSERT_EQ(again.status, 0) << again.err;
    int skipped = 0, done = 0;
    for (const std::string& line : lines_of(read_all(file("log")))) {
        const bool stale = line.find("\"input\":\"" + file("lib/b/3.png") + "\"") != std::string::npos;
        done += line.find("\"status\":\"done\"") != std::string::npos;
        skipped += line.find("\"status\":\"skipped\"") != std::string::npos;
        EXPECT_EQ(stale, line.find("\"status\":\"done\"") != std::string::npos) << line;
    }
    EXPECT_EQ(done, 1);
    EXPECT_EQ(skipped, 6);
    EXPECT_NE(again.err.find("7 files: 1 done, 6 skipped, 0 failed"), std::string::npos) << again.err;
}

TEST_F(BatchLibrary, FailuresAreReportedAndTheRestIsDone)
{
    picture("in/good1.png", 1);
    picture("in/good2.png", 2);
    picture("in/q\"uote.png", 3);
    std::ofstream(file("in/broken.png"), std::ios::binary) << "\x89PNG\r\n\x1a\n not really";
    picture("big.png", 4);
    const RunResult r = run(with({"batch", "--out", file("o"), "--log", file("log"), "--jobs", "3", file("in"),
                                  file("in/missing.png")},
                                 kChain));
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(fs::exists(file("o/good1.png")));
    EXPECT_TRUE(fs::exists(file("o/good2.png")));
    EXPECT_TRUE(fs::exists(file("o/q\"uote.png")));
    EXPECT_FALSE(fs::exists(file("o/broken.png")));
    EXPECT_NE(r.err.find("morvane-batch: " + file("in/broken.png") + ": "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("File does not exist: " + file("in/missing.png")), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("5 files: 3 done, 0 skipped, 2 failed"), std::string::npos) << r.err;

    // One line per file, in the order they finished.
    std::map<std::string, std::string> by_input;
    for (const std::string& line : lines_of(read_all(file("log")))) {
        const size_t from = line.find("\"input\":\"") + 9;
        by_input[line.substr(from, line.find("\",\"output\"") - from)] = line;
    }
    ASSERT_EQ(by_input.size(), 5u);
    const auto expect_line = [&](const std::string& input, const std::string& part) {
        EXPECT_NE(by_input[input].find(part), std::string::npos) << by_input[input];
    };
    expect_line(file("in/good1.png"), "\"output\":\"" + file("o/good1.png") + "\",\"status\":\"done\",\"error\":0,");
    expect_line(file("in/q\\\"uote.png"), "\"status\":\"done\"");
    expect_line(file("in/broken.png"), "\"status\":\"failed\",\"error\":48,");
    expect_line(file("in/missing.png"), "\"status\":\"failed\",\"error\":4,\"message\":\"File does not exist: ");
    expect_line(file("in/good2.png"), "\"seconds\":");

    // A memory limit below what one file needs fails that file cleanly.
    const RunResult small = run(with({"batch", "--out", file("m"), "--memory", "1K", file("big.png")}, kChain));
    EXPECT_EQ(small.status, 1);
    EXPECT_NE(small.err.find("Out of memory (error 1)"), std::string::npos) << small.err;
    EXPECT_EQ(run(with({"batch", "--out", file("m"), "--memory", "1M", file("big.png")}, kChain)).status, 0);
}

TEST_F(BatchLibrary, InterruptedRunLeavesNoPartialFile)
{
    for (int i = 0; i < 150; ++i)
        picture("in/" + std::to_string(1000 + i) + ".png", i);
    const std::vector<std::string> args = {MORVANE_BATCH, "batch", "--jobs", "2", "--out", file("o"), "--log",
                                           file("log"), file("in"), "--", "resize", "width=300", "+", "blur",
                                           "method=gaussian", "radius=6"};
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::vector<char*> argv;
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDERR_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    // Interrupt once the first file is logged.
    for (int waited = 0; waited < 3000 && read_all(file("log")).empty(); ++waited)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ::kill(child, SIGINT);
    int raw = 0;
    ASSERT_EQ(::waitpid(child, &raw, 0), child);
    ASSERT_TRUE(WIFEXITED(raw));

    const std::vector<std::string> logged = lines_of(read_all(file("log")));
    const auto outputs = tree(file("o"));
    if (logged.size() < 150) {
        EXPECT_EQ(WEXITSTATUS(raw), 128 + SIGINT);
    }
    // Every output is a whole picture that was logged done; no temporary file is left.
    EXPECT_EQ(outputs.size(), logged.size());
    for (const auto& [name, bytes] : outputs) {
        EXPECT_NE(name[0], '.') << name;
        EXPECT_EQ(load(file("o/" + name)).width, 300) << name;
    }
}

TEST_F(BatchLibrary, RecipeFiles)
{
    picture("p.png", 1);
    std::ofstream(file("web.recipe")) << "# for the web\nresize width=12   # half size\n+\nsharpen\n";
    ASSERT_EQ(run({"batch", "--out", file("r"), "--recipe", file("web.recipe"), file("p.png")}).status, 0);
    ASSERT_EQ(run(with({"batch", "--out", file("c"), file("p.png")}, kChain)).status, 0);
    EXPECT_EQ(read_all(file("r/p.png")), read_all(file("c/p.png")));

    const std::vector<std::pair<std::string, std::string>> faults = {
        {"resize width=12\n+\nblurr\n", "bad.recipe:3: unknown operation 'blurr'"},
        {"# nothing\n\nsharpen radius=99\n", "bad.recipe:3: "},
        {"sharpen\n+\n", "bad.recipe:2: '+' must stand between two operations"},
        {"blur\n  method=gaussian\n  sizes=3 # wrong key\n", "bad.recipe:3: "},
        {"sharpen\nresize\n", "bad.recipe:2: expected key=value or '+' after sharpen, got 'resize'"},
        {"# only a comment\n", "bad.recipe: no operation given"},
    };
    for (const auto& [text, message] : faults) {
        std::ofstream(file("bad.recipe"), std::ios::trunc) << text;
        const RunResult r = run({"batch", "--out", file("x"), "--recipe", file("bad.recipe"), file("p.png")});
        EXPECT_EQ(r.status, 2) << text;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
    }
    const RunResult missing = run({"batch", "--out", file("x"), "--recipe", file("none.recipe"), file("p.png")});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("none.recipe: cannot be read"), std::string::npos);
}

// The cluster recipes of the manual, run here with the variables their schedulers set: the
// shards of each together write what one run writes.
TEST_F(BatchLibrary, ClusterRecipesEqualOneRun)
{
    library();
    std::ofstream(file("web.recipe")) << "resize width=12\n+ sharpen\n";
    ASSERT_EQ(run({"batch", "--recursive", "--recipe", file("web.recipe"), "--format", "jpeg", "--quality", "85",
                   "--out", file("one"), file("lib")})
                  .status,
              0);
    const auto expected = tree(file("one"));
    ASSERT_EQ(expected.size(), 7u);

    const std::string examples = std::string(MORVANE_SAMPLES_DIR) + "/../docs/manual/examples/";
    const std::string bin = fs::path(MORVANE_BATCH).parent_path().string();
    const auto env = [&](const std::string& out) {
        return "env PATH='" + bin + "':\"$PATH\" LIBRARY='" + file("lib") + "' OUT='" + file(out) + "' RECIPE='" +
               file("web.recipe") + "' ";
    };
    // The Kubernetes container's command, folded as YAML folds its lines.
    std::string job_command;
    {
        std::ifstream yaml(examples + "batch-indexed-job.yaml");
        bool in_args = false;
        for (std::string line; std::getline(yaml, line);) {
            const size_t text = line.find_first_not_of(' ');
            if (line.find("- >-") != std::string::npos)
                in_args = true;
            else if (in_args && line.find("resources:") != std::string::npos)
                break;
            else if (in_args && text != std::string::npos)
                job_command += line.substr(text) + " ";
        }
    }
    ASSERT_NE(job_command.find("morvane-batch batch"), std::string::npos);

    for (int k = 0; k < 3; ++k) {
        const std::string index = std::to_string(k);
        EXPECT_EQ(std::system((env("slurm") + "LOGS='" + file("logs") + "' SLURM_ARRAY_TASK_ID=" + index +
                               " SLURM_ARRAY_TASK_COUNT=3 SLURM_CPUS_PER_TASK=2 SLURM_MEM_PER_NODE=512 bash " +
                               examples + "batch-slurm.sh")
                                  .c_str()),
                  0);
        const std::string quoted = "'" + job_command + "'";
        EXPECT_EQ(std::system((env("k8s") + "JOB_COMPLETION_INDEX=" + index + " SHARDS=3 sh -c " + quoted).c_str()), 0);
    }
    EXPECT_EQ(std::system((env("parallel") + "SHARDS=3 bash " + examples + "batch-parallel.sh").c_str()), 0);

    EXPECT_EQ(differences(tree(file("slurm")), expected), "");
    for (const std::string out : {"k8s", "parallel"}) {
        auto got = tree(file(out));
        int logged = 0;
        for (int k = 0; k < 3; ++k) {
            const std::string log = "logs/shard-" + std::to_string(k) + ".jsonl";
            logged += int(lines_of(got[log]).size());
            got.erase(log);
        }
        EXPECT_EQ(logged, 7) << out;
        EXPECT_EQ(differences(got, expected), "") << out;
    }
}
