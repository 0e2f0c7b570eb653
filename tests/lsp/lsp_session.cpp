#include "lsp_session.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include "lsp/uri.h"

namespace zorm::lsp::test {

json Session::request(const std::string& method, const json& params) { return response_to(send_request(method, params)); }

int Session::send_request(const std::string& method, const json& params) {
  const int id = next_id_++;
  send_body(protocol::serialize(json{{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", params}}));
  return id;
}

json Session::response_to(int id) {
  return take([id](const json& message) { return message.contains("id") && message["id"] == id && !message.contains("method"); },
              "the response to request " + std::to_string(id));
}

void Session::notify(const std::string& method, const json& params) {
  send_body(protocol::serialize(json{{"jsonrpc", "2.0"}, {"method", method}, {"params", params}}));
}

json Session::notification(const std::string& method, const std::function<bool(const json&)>& wanted) {
  return take(
      [&](const json& message) {
        return message.value("method", "") == method && !message.contains("id") &&
               (!wanted || wanted(message.value("params", json::object())));
      },
      "a " + method + " notification")["params"];
}

json Session::unnumbered_error() {
  return take([](const json& message) { return message.contains("error") && message.value("id", json()).is_null(); },
              "an error response without id");
}

json Session::diagnostics(const std::string& uri, std::optional<int> version) {
  return notification("textDocument/publishDiagnostics", [&](const json& params) {
    if (params.value("uri", "") != uri) return false;
    return !version || (params.contains("version") && params["version"] == *version);
  });
}

std::vector<json> Session::unread() {
  std::lock_guard lock(mutex_);
  std::vector<json> messages(inbox_.begin(), inbox_.end());
  inbox_.clear();
  return messages;
}

void Session::received(json message) {
  {
    std::lock_guard lock(mutex_);
    inbox_.push_back(std::move(message));
  }
  arrived_.notify_all();
}

json Session::take(const std::function<bool(const json&)>& wanted, const std::string& what) {
  const auto deadline = std::chrono::steady_clock::now() + WAIT;
  for (;;) {
    poll();
    std::unique_lock lock(mutex_);
    for (auto at = inbox_.begin(); at != inbox_.end(); ++at) {
      if (wanted(*at)) {
        json found = std::move(*at);
        inbox_.erase(at);
        return found;
      }
    }
    if (std::chrono::steady_clock::now() > deadline) {
      std::string seen;
      for (const json& message : inbox_) seen += "\n  " + message.dump().substr(0, 300);
      throw std::runtime_error("timed out waiting for " + what + "; received:" + seen);
    }
    arrived_.wait_for(lock, 2ms);
  }
}

json Session::initialize(const std::string& root_uri, const json& capabilities) {
  json params = {{"processId", nullptr}, {"rootUri", root_uri}, {"capabilities", capabilities}};
  json result = request("initialize", params);
  notify("initialized", json::object());
  return result;
}

void Session::open(const std::string& uri, const std::string& text, int version, const std::string& language) {
  notify("textDocument/didOpen",
         {{"textDocument", {{"uri", uri}, {"languageId", language}, {"version", version}, {"text", text}}}});
}

void Session::change(const std::string& uri, int version, const json& content_changes) {
  notify("textDocument/didChange",
         {{"textDocument", {{"uri", uri}, {"version", version}}}, {"contentChanges", content_changes}});
}

void Session::replace(const std::string& uri, int version, const std::string& text) {
  change(uri, version, json::array({{{"text", text}}}));
}

json Session::at(const std::string& uri, int line, int character) {
  return {{"textDocument", {{"uri", uri}}}, {"position", {{"line", line}, {"character", character}}}};
}

ProcessSession::ProcessSession(const std::vector<std::string>& arguments) {
  int input[2];
  int output[2];
  if (::pipe(input) != 0 || ::pipe(output) != 0) throw std::runtime_error("pipe");
  pid_ = ::fork();
  if (pid_ == 0) {
    ::dup2(input[0], STDIN_FILENO);
    ::dup2(output[1], STDOUT_FILENO);
    const int null = ::open("/dev/null", O_WRONLY);
    if (!std::getenv("ZORM_LSP_TEST_STDERR")) ::dup2(null, STDERR_FILENO);
    for (int fd : {input[0], input[1], output[0], output[1], null}) ::close(fd);
    std::vector<std::string> strings = {ZORM_LSP_BINARY};
    strings.insert(strings.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& s : strings) argv.push_back(s.data());
    argv.push_back(nullptr);
    ::execv(ZORM_LSP_BINARY, argv.data());
    ::_exit(127);
  }
  ::close(input[0]);
  ::close(output[1]);
  to_server_ = input[1];
  from_server_ = output[0];
  signal(SIGPIPE, SIG_IGN);
  transport_ = std::make_unique<protocol::StreamTransport>(from_server_, to_server_);
  connection_ = std::make_unique<protocol::Connection>(*transport_);
  pump_ = std::thread([this] {
    for (;;) {
      protocol::Incoming item = connection_->next();
      if (item.kind == protocol::Incoming::Kind::end) return;
      if (item.kind == protocol::Incoming::Kind::message) {
        received(std::move(item.value));
      } else {
        received(json{{"unreadable", item.error}});
      }
    }
  });
}

ProcessSession::~ProcessSession() {
  wait_for_exit(true);
  connection_->close();
  if (pump_.joinable()) pump_.join();
  ::close(from_server_);
}

void ProcessSession::send_body(const std::string& body) { send_raw(protocol::frame_message(body)); }

void ProcessSession::send_raw(const std::string& bytes) {
  if (to_server_ >= 0) transport_->write_all(bytes);
}

int ProcessSession::wait_for_exit(bool close_input) {
  if (close_input && to_server_ >= 0) {
    ::close(to_server_);
    to_server_ = -1;
  }
  if (pid_ < 0) return -1;
  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + WAIT;
  while (::waitpid(pid_, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, &status, 0);
      break;
    }
    std::this_thread::sleep_for(1ms);
  }
  pid_ = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

InProcessSession::InProcessSession() : server_(transport_, ServerOptions{}) {
  runner_ = std::thread([this] { status_ = server_.run(); });
}

InProcessSession::~InProcessSession() {
  transport_.close_input();
  if (runner_.joinable()) runner_.join();
}

void InProcessSession::send_body(const std::string& body) {
  transport_.send(body);
  ++sent_;
}

void InProcessSession::send_raw(const std::string& bytes) {
  transport_.send_raw(bytes);
  ++sent_;
}

void InProcessSession::poll() { collect(); }

void InProcessSession::collect() {
  while (std::optional<std::string> body = transport_.receive(0ms)) received(json::parse(*body));
}

void InProcessSession::idle() {
  server_.wait_until_idle(sent_);
  collect();
}

int InProcessSession::exit_status() {
  if (runner_.joinable()) runner_.join();
  collect();
  return status_;
}

Sources::Sources() {
  char pattern[] = "/tmp/zorm-lsp-test-XXXXXX";
  const char* made = ::mkdtemp(pattern);
  if (!made) throw std::runtime_error("mkdtemp");
  char resolved[PATH_MAX];
  root_ = ::realpath(made, resolved) ? resolved : made;
}

Sources::~Sources() { std::system(("rm -rf '" + root_ + "'").c_str()); }

std::string Sources::write(const std::string& name, const std::string& text) const {
  for (size_t slash = name.find('/'); slash != std::string::npos; slash = name.find('/', slash + 1)) {
    ::mkdir(path(name.substr(0, slash)).c_str(), 0755);
  }
  std::ofstream(path(name), std::ios::binary) << text;
  return uri(name);
}

std::string Sources::uri(const std::string& name) const { return uri_from_path(path(name)); }

std::string Sources::root_uri() const { return uri_from_path(root_); }

}  // namespace zorm::lsp::test
