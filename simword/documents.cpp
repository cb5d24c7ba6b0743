// Document, InlineShapes, CustomDocumentProperties and Signatures of the simulated Word.
#include <algorithm>

#include "host/office.h"
#include "simword/host_object.h"
#include "simword/objects.h"

namespace simword {
namespace {

using automation::Variant;

[[noreturn]] void objectDeleted() {
  throw Error(hr::runtime(5825), u"Object has been deleted.");
}

bool isOpen(const State& state, const DocumentPtr& document) {
  return std::find(state.documents.begin(), state.documents.end(), document) !=
         state.documents.end();
}

// Host objects that belong to one document; they fail once the document is closed.
template <class T>
class DocumentPart : public TableObject<T> {
 public:
  DocumentPart(StatePtr state, DocumentPtr document)
      : TableObject<T>(std::move(state)), document_(std::move(document)) {}

 protected:
  void checkAlive() const override {
    if (!isOpen(this->state(), document_)) objectDeleted();
  }
  bool implements(const Guid&) const override { return false; }

  DocumentPtr document_;
};

class InlineShapeObject final : public DocumentPart<InlineShapeObject> {
 public:
  using DocumentPart::DocumentPart;
  static const std::vector<Member<InlineShapeObject>>& members() {
    static const std::vector<Member<InlineShapeObject>> table = {};
    return table;
  }

 private:
  std::string kind() const override { return "InlineShape"; }
};

class InlineShapes final : public DocumentPart<InlineShapes> {
 public:
  using DocumentPart::DocumentPart;
  static const std::vector<Member<InlineShapes>>& members() {
    static const std::vector<Member<InlineShapes>> table = {
        {"Count", {}, &InlineShapes::getCount},
        {"AddOLEControl", {"ClassType", "Range"}, &InlineShapes::addOLEControl},
        {"AddPicture",
         {"FileName", "LinkToFile", "SaveWithDocument", "Range"},
         &InlineShapes::addPicture},
    };
    return table;
  }

 private:
  std::string kind() const override { return "InlineShapes"; }

  Variant getCount(const Params&) { return static_cast<int32_t>(document_->inlineShapes.size()); }

  // Creates the control through the factory, places it inline at the cursor and, as Word does
  // when an ActiveX control is inserted, switches the document into forms design mode.
  Variant addOLEControl(const Params& p) {
    const auto classType = automation::toText(p.required(0));
    // Trust Center's "Disable all controls without notification": Word creates no ActiveX
    // control. Which error Word raises is not documented; its generic "Command failed" here.
    if (!state().activeXControls) throw Error(hr::runtime(4198), u"Command failed");
    if (!state().controlFactory)
      throw Error(hr::kClassNotRegistered, u"Could not create the control " + classType + u".");
    auto control = state().controlFactory(classType, *document_);
    InlineShape shape;
    shape.classType = classType;
    shape.control = std::move(control);
    document_->insertAtCursor(u'\x0001');  // Word's character for an inline object
    shape.position = document_->content().size() - 1;
    document_->inlineShapes.push_back(std::move(shape));
    document_->designMode = true;
    return ObjectRef(std::make_shared<InlineShapeObject>(statePtr(), document_));
  }

  // A picture from a file, inline at the cursor; ActiveX settings have nothing to say about it.
  // The file is taken as given: the simulation reads no file.
  Variant addPicture(const Params& p) {
    InlineShape shape;
    shape.pictureFile = automation::toText(p.required(0));
    if (shape.pictureFile.empty())
      throw Error(hr::runtime(5152), u"This is not a valid file name.");
    document_->insertAtCursor(u'\x0001');
    shape.position = document_->content().size() - 1;
    document_->inlineShapes.push_back(std::move(shape));
    return ObjectRef(std::make_shared<InlineShapeObject>(statePtr(), document_));
  }
};

class DocumentProperty final : public DocumentPart<DocumentProperty> {
 public:
  DocumentProperty(StatePtr state, DocumentPtr document, std::u16string name)
      : DocumentPart(std::move(state), std::move(document)), name_(std::move(name)) {}

  static const std::vector<Member<DocumentProperty>>& members() {
    using P = DocumentProperty;
    static const std::vector<Member<P>> table = {
        {"", {}, &P::getValue, &P::putValue},
        {"Value", {}, &P::getValue, &P::putValue},
        {"Name", {}, &P::getName},
        {"Type", {}, &P::getType},
        {"Delete", {}, &P::remove},
    };
    return table;
  }

  // The value as the property's type holds it: text properties hold text.
  static Variant stored(int32_t type, const Variant& value) {
    if (type == host::kPropertyTypeString) return automation::toText(value);
    return value;
  }

 private:
  std::string kind() const override { return "DocumentProperty"; }
  bool implements(const Guid& iid) const override { return iid == host::kDocumentProperty; }

  Property& property() {
    if (auto* p = document_->findProperty(name_)) return *p;
    objectDeleted();
  }
  Variant getValue(const Params&) { return property().value; }
  void putValue(const Params& p) {
    auto& property = this->property();
    property.value = stored(property.type, p.value());
    document_->changed();
  }
  Variant getName(const Params&) { return property().name; }
  Variant getType(const Params&) { return property().type; }
  Variant remove(const Params&) {
    auto& properties = document_->properties;
    properties.erase(properties.begin() + (&property() - properties.data()));
    document_->changed();
    return {};
  }

  std::u16string name_;
};

class DocumentProperties final : public DocumentPart<DocumentProperties> {
 public:
  using DocumentPart::DocumentPart;

  static const std::vector<Member<DocumentProperties>>& members() {
    using P = DocumentProperties;
    static const std::vector<Member<P>> table = {
        {"", {"Index"}, &P::getItem},
        {"Item", {"Index"}, &P::getItem},
        {"Count", {}, &P::getCount},
        {"Add", {"Name", "LinkToContent", "Type", "Value", "LinkSource"}, &P::add},
    };
    return table;
  }

 private:
  std::string kind() const override { return "DocumentProperties"; }
  bool implements(const Guid& iid) const override { return iid == host::kDocumentProperties; }

  Variant getCount(const Params&) { return static_cast<int32_t>(document_->properties.size()); }

  Variant getItem(const Params& p) {
    const Variant& index = p.required(0);
    const Property* found = nullptr;
    if (index.type() == automation::VarType::Text) {
      found = document_->findProperty(index.asText());
    } else {
      const int32_t n = automation::toI4(index);
      if (n >= 1 && static_cast<size_t>(n) <= document_->properties.size())
        found = &document_->properties[static_cast<size_t>(n) - 1];
    }
    if (!found) throw Error(hr::kInvalidArg);
    return property(found->name);
  }

  Variant add(const Params& p) {
    Property property;
    property.name = automation::toText(p.required(0));
    property.linkToContent = automation::toBool(p.required(1));
    property.type = p[2] ? automation::toI4(*p[2]) : host::kPropertyTypeString;
    if (property.name.empty() || document_->findProperty(property.name))
      throw Error(hr::kInvalidArg);
    if (!property.linkToContent && !p[3]) throw Error(hr::kInvalidArg);
    if (p[3]) property.value = DocumentProperty::stored(property.type, *p[3]);
    if (p[4]) property.linkSource = *p[4];
    document_->properties.push_back(property);
    document_->changed();
    return this->property(property.name);
  }

  Variant property(const std::u16string& name) {
    return ObjectRef(std::make_shared<DocumentProperty>(statePtr(), document_, name));
  }
};

class SignatureObject final : public DocumentPart<SignatureObject> {
 public:
  SignatureObject(StatePtr state, DocumentPtr document, size_t index)
      : DocumentPart(std::move(state), std::move(document)), index_(index) {}

  static const std::vector<Member<SignatureObject>>& members() {
    using S = SignatureObject;
    static const std::vector<Member<S>> table = {
        {"IsValid", {}, &S::getIsValid},   {"Signer", {}, &S::getSigner},
        {"Issuer", {}, &S::getIssuer},     {"ExpireDate", {}, &S::getExpireDate},
        {"SignDate", {}, &S::getSignDate},
    };
    return table;
  }

 private:
  std::string kind() const override { return "Signature"; }

  const Signature& signature() const {
    if (index_ >= document_->signatures.size()) objectDeleted();
    return document_->signatures[index_];
  }
  Variant getIsValid(const Params&) { return document_->isValid(signature()); }
  Variant getSigner(const Params&) { return signature().signer; }
  Variant getIssuer(const Params&) { return signature().issuer; }
  Variant getExpireDate(const Params&) { return signature().expireDate; }
  Variant getSignDate(const Params&) { return signature().signDate; }

  size_t index_;
};

class Signatures final : public DocumentPart<Signatures> {
 public:
  using DocumentPart::DocumentPart;

  static const std::vector<Member<Signatures>>& members() {
    using S = Signatures;
    static const std::vector<Member<S>> table = {
        {"", {"Index"}, &S::getItem}, {"Item", {"Index"}, &S::getItem}, {"Count", {}, &S::getCount},
        {"Add", {}, &S::add},         {"Commit", {}, &S::commit},
    };
    return table;
  }

 private:
  std::string kind() const override { return "Signatures"; }

  Variant getCount(const Params&) { return static_cast<int32_t>(document_->signatures.size()); }

  Variant getItem(const Params& p) {
    const int32_t n = automation::toI4(p.required(0));
    if (n < 1 || static_cast<size_t>(n) > document_->signatures.size()) throw Error(hr::kBadIndex);
    return ObjectRef(
        std::make_shared<SignatureObject>(statePtr(), document_, static_cast<size_t>(n) - 1));
  }

  // Word's signing dialog runs here; the test decided beforehand what the user does in it.
  Variant add(const Params&) {
    auto outcome = state().signing.next();
    if (!outcome.signature) throw Error(outcome.hresult, outcome.description);
    outcome.signature->contentVersion = document_->version();
    outcome.signature->committed = false;
    document_->signatures.push_back(*outcome.signature);
    return ObjectRef(
        std::make_shared<SignatureObject>(statePtr(), document_, document_->signatures.size() - 1));
  }

  Variant commit(const Params&) {
    for (auto& s : document_->signatures) s.committed = true;
    return {};
  }
};

class DocumentObject final : public DocumentPart<DocumentObject> {
 public:
  using DocumentPart::DocumentPart;

  static const std::vector<Member<DocumentObject>>& members() {
    using D = DocumentObject;
    static const std::vector<Member<D>> table = {
        {"Application", {}, &D::getApplication},
        {"Parent", {}, &D::getApplication},
        {"Name", {}, &D::getName},
        {"FormsDesign", {}, &D::getFormsDesign},
        {"ToggleFormsDesign", {}, &D::toggleFormsDesign},
        {"CustomDocumentProperties", {}, &D::getCustomDocumentProperties},
        {"Signatures", {}, &D::getSignatures},
        {"InlineShapes", {}, &D::getInlineShapes},
    };
    return table;
  }

 private:
  std::string kind() const override { return "Document"; }

  Variant getApplication(const Params&) { return makeApplication(statePtr()); }
  Variant getName(const Params&) { return document_->name; }
  Variant getFormsDesign(const Params&) { return document_->designMode; }
  Variant toggleFormsDesign(const Params&) {
    document_->designMode = !document_->designMode;
    return {};
  }
  Variant getCustomDocumentProperties(const Params&) {
    return ObjectRef(std::make_shared<DocumentProperties>(statePtr(), document_));
  }
  Variant getSignatures(const Params&) {
    return ObjectRef(std::make_shared<Signatures>(statePtr(), document_));
  }
  Variant getInlineShapes(const Params&) { return makeInlineShapes(statePtr(), document_); }
};

}  // namespace

ObjectRef makeDocument(const StatePtr& state, const DocumentPtr& document) {
  return std::make_shared<DocumentObject>(state, document);
}

ObjectRef makeInlineShapes(const StatePtr& state, const DocumentPtr& document) {
  return std::make_shared<InlineShapes>(state, document);
}

}  // namespace simword
