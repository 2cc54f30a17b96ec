#pragma once
// A widget's way back to the model object it shows. The widget may outlive that object (a
// discarded widget is deleted later, once no input is on the stack), so the peer cuts every
// link in one place, its destructor, and a widget whose link is cut draws and reports
// nothing.

// What the peer's destructor sees of any widget that keeps a link.
class TBackLinked {
public:
    virtual void CutBackLink() = 0;

protected:
    ~TBackLinked() = default;
};

// A widget of type TBase that shows a TModel.
template <typename TModel, typename TBase>
class TLinkedWidget : public TBase, public TBackLinked {
public:
    explicit TLinkedWidget(TModel& model) : model_(&model) {}
    // The model, or null once its peer has gone.
    TModel* Model() const { return model_; }
    void CutBackLink() override { model_ = nullptr; }

private:
    TModel* model_;
};
